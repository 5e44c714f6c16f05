#pragma once
// TFormSysNotice: the stay-on-top notice of the start-up checks that end the
// process (unsupported system, restricted region): a title bar, a text and OK on a
// per-pixel-transparent 344 x 172 window with a soft border, centred on the primary
// monitor, without a taskbar button. Created anew for each use. UI thread only.
#include <string>

#include "Installer/Downloader/window/UnitNotice.h"
#include "public/rdcontrol/framework/RdControls.h"

class TFormSysNotice : public TCustomForm {
public:
    TFormSysNotice(TComponent* owner, const TNoticeEnvironment& environment);

    TRdPanel* RdPanel_Main = nullptr;
    TRdImageButton* RdBtn_BorderBg = nullptr;
    TRdImageButton* Rdbtn_HeadBg = nullptr;
    TRdLabel* lbl_Title = nullptr;
    TRdLabel* lblStatusDes = nullptr;
    TRdImage* Image_Move = nullptr;
    TRdImageButton* ButtonOK = nullptr;
    TRdImageButton* Btn_Close = nullptr;

private:
    const TNoticeEnvironment& FEnv;
};

// Shows the system notice modally; returns when the user closed it in any way.
void ShowSysNotice(TApplication& app, const std::string& title, const std::string& text,
                   const TNoticeEnvironment& environment);
