#include "Installer/Downloader/window/UnitSysSupportNoticeNew.h"

#include <memory>

#include "Installer/Downloader/flow/BuiltInPictures.h"

namespace {

constexpr int kWidth = 344, kHeight = 172;
constexpr TColor kSoftText = RGB(203, 203, 226);

TRdLabel* TextLabel(TComponent* owner, TWinControl* parent, const std::string& name, TRect bounds, TColor color,
                    const std::string& font) {
    auto* label = new TRdLabel(owner);
    label->SetName(name);
    label->SetParent(parent);
    label->SetBoundsRect(bounds);
    label->Font().SetName(font);
    label->Font().SetHeight(-14);
    label->Font().SetColor(color);
    label->SetFontAntialiased(true);
    return label;
}

}  // namespace

TFormSysNotice::TFormSysNotice(TComponent* owner, const TNoticeEnvironment& environment)
    : TCustomForm(owner), FEnv(environment) {
    SetName("FormSysNotice");
    SetCaption("Notice");
    SetBounds(0, 0, kWidth, kHeight);
    // The designed place is the screen's top-left corner, so centring on the
    // screen the form is on centres it on the primary monitor.
    SetPosition(TPosition::poScreenCenter);
    SetFormStyle(TFormStyle::fsStayOnTop);
    SetPerPixelAlpha(true);
    SetTaskbarButton(false);
    SetColor(clBlack);
    Font().SetName("Segoe UI");

    RdPanel_Main = new TRdPanel(this);
    RdPanel_Main->SetName("RdPanel_Main");
    RdPanel_Main->SetParent(this);
    RdPanel_Main->SetBounds(0, 0, kWidth, kHeight);
    RdPanel_Main->SetColor(clNone);  // the border picture's own alpha shows

    RdBtn_BorderBg = new TRdImageButton(this);
    RdBtn_BorderBg->SetName("RdBtn_BorderBg");
    RdBtn_BorderBg->SetParent(RdPanel_Main);
    RdBtn_BorderBg->SetBounds(0, 0, kWidth, kHeight);
    FEnv.LoadPicture("sysnotice_bg.png", RdBtn_BorderBg->ImageNormal());
    RdBtn_BorderBg->ImageOption().SetMargins(15, 15, 15, 15);

    Rdbtn_HeadBg = new TRdImageButton(this);
    Rdbtn_HeadBg->SetName("Rdbtn_HeadBg");
    Rdbtn_HeadBg->SetParent(RdPanel_Main);
    Rdbtn_HeadBg->SetBounds(10, 10, 324, 30);
    FEnv.LoadPicture("sysnotice_title.png", Rdbtn_HeadBg->ImageNormal());

    // The drag area: the dialog's surface inside its soft border.
    Image_Move = new TRdImage(this);
    Image_Move->SetName("Image_Move");
    Image_Move->SetParent(RdPanel_Main);
    Image_Move->SetBounds(10, 10, 324, 152);
    Image_Move->OnMouseDown = [this](TControl*, TMouseButton button, TShiftState, int, int) {
        if (button == mbLeft && FEnv.StartDrag) FEnv.StartDrag(*this);
    };

    lbl_Title = TextLabel(this, RdPanel_Main, "lbl_Title", TRect::FromSize(20, 17, 280, 20), clWhite, FEnv.FontName);
    lbl_Title->SetAutoSize(true);
    lblStatusDes =
        TextLabel(this, RdPanel_Main, "lblStatusDes", TRect::FromSize(26, 53, 292, 60), kSoftText, FEnv.FontName);
    // A fixed box: sized to its still empty, unwrapped text it would be 0 wide and
    // show nothing; longer texts end with "..." at 60 pixels.
    lblStatusDes->SetAutoSize(false);
    lblStatusDes->SetBoundsRect(TRect::FromSize(26, 53, 292, 60));
    lblStatusDes->SetWordWrap(true);
    lblStatusDes->SetEllipsisPosition(epEndEllipsis);
    lblStatusDes->SetAutoShowHint(true);
    lblStatusDes->SetShowHint(true);

    ButtonOK = NoticeButton(this, RdPanel_Main, "ButtonOK", TRect::FromSize(245, 114, 73, 32), true, FEnv);
    ButtonOK->SetCaption("OK");
    ButtonOK->OnClick = [this](TControl*) { SetModalResult(mrOk); };

    Btn_Close = new TRdImageButton(this);
    Btn_Close->SetName("Btn_Close");
    Btn_Close->SetParent(RdPanel_Main);
    Btn_Close->SetBounds(309, 15, 20, 20);
    Btn_Close->SetHint("Close");
    Btn_Close->SetShowHint(true);
    FEnv.LoadPicture("images/btn_close_normal.png", Btn_Close->ImageNormal());
    FEnv.LoadPicture("images/btn_close_over.png", Btn_Close->ImageOver());
    FEnv.LoadPicture("images/btn_close_press.png", Btn_Close->ImageDown());
    Btn_Close->OnClick = [this](TControl*) { SetModalResult(mrCancel); };
}

void ShowSysNotice(TApplication& app, const std::string& title, const std::string& text,
                   const TNoticeEnvironment& environment) {
    auto notice = std::make_unique<TFormSysNotice>(&app, environment);
    notice->lbl_Title->SetCaption(title);
    notice->lblStatusDes->SetCaption(text);
    notice->ButtonOK->SetCaption(environment.Msg ? environment.Msg("M_NoticeOK", "OK") : "OK");
    notice->ShowModal();
}
