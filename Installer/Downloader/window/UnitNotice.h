#pragma once
// TForm_Notice: the installer's own small modal notice (it never uses the system's
// message boxes): a status icon, a text and either OK or Yes and No, on a skinned
// 324 x 152 window with a shadow and rounded corners. Used for the disk-space and
// invalid-folder messages and the cancel question.
//
// ShowNotice shows it modally over the main window (which stays disabled while the
// event loop keeps running, so downloads go on) and returns NoticeAnswer: true only
// when the user pressed Yes. The dialog exists only while it is shown.
// UI thread only.
#include <functional>
#include <string>

#include "public/rdcontrol/controls/common/RdStretchImage.h"
#include "public/rdcontrol/controls/form/RdFormSkin.h"
#include "public/rdcontrol/controls/imagebutton/RdImageButton.h"
#include "public/rdcontrol/controls/label/RdLabel.h"
#include "public/rdcontrol/controls/notebook/ImageNote.h"
#include "public/rdcontrol/framework/Application.h"

class TBuiltInPictures;

enum class TNoticeIcon { Warning = 0, Question = 1 };
enum class TNoticeMode { Ok = 0, YesNo = 1 };

// What the dialogs take from the installer window.
struct TNoticeEnvironment {
    // The language's message by key, the English default when missing.
    std::function<std::string(const std::string& key, const std::string& def)> Msg;
    const TBuiltInPictures* Pictures = nullptr;
    // The hint of the main window's close button (already translated).
    std::string CloseHint;
    // The face of the texts: "Roboto", or the language's own face for scripts it
    // does not cover.
    std::string FontName = "Roboto";
    // Moves a window with the mouse (the system's own move loop).
    std::function<void(TCustomForm&)> StartDrag;

    // Loads a built-in picture into `picture` (unchanged when there is none).
    void LoadPicture(const std::string& file, TPicture& picture) const;
};

// A dialog button of the notices: white 12 px text on the primary (right-hand) or
// secondary (left-hand) nine-slice look.
TRdImageButton* NoticeButton(TComponent* owner, TWinControl* parent, const std::string& name, TRect bounds,
                             bool primary, const TNoticeEnvironment& environment);

// The answer of the last notice: false when a notice is created, true only by Yes.
extern bool NoticeAnswer;

class TForm_Notice : public TCustomForm {
public:
    TForm_Notice(TComponent* owner, const TNoticeEnvironment& environment, TCustomForm* mainWindow);

    // Where the dialog goes: centred over the main window's screen rectangle when
    // that is visible and not minimised (division rounding toward zero), otherwise
    // nullopt (it stays at its designed place, the screen's top-left corner).
    static std::optional<TPoint> PlaceOver(const TCustomForm* mainWindow, int width, int height);

    void SetMode(TNoticeMode mode);
    void SetIcon(TNoticeIcon icon);
    void SetText(const std::string& text);

    TRdImageButton* Imagebg = nullptr;
    TRdStretchImage* Imgborder = nullptr;
    TRdImageNote* ImageNoteStatus = nullptr;
    TRdLabel* lblStatusDes = nullptr;
    TRdImageButton* ButtonOK = nullptr;
    TRdImageButton* ButtonYes = nullptr;
    TRdImageButton* ButtonNO = nullptr;
    TRdImageButton* Btn_Close = nullptr;
    TRdFormSkin* FormSkin = nullptr;

private:
    void Answer(bool yes);
    void Drag();

    const TNoticeEnvironment& FEnv;
    TCustomForm* FMainWindow;
};

// Shows the notice modally and returns NoticeAnswer.
bool ShowNotice(TApplication& app, TCustomForm* mainWindow, TNoticeIcon icon, const std::string& text,
                TNoticeMode mode, const TNoticeEnvironment& environment);
// Whether a notice is on screen now.
bool NoticeShowing();
