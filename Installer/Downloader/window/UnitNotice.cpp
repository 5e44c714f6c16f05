#include "Installer/Downloader/window/UnitNotice.h"

#include "Installer/Downloader/flow/BuiltInPictures.h"
#include "Installer/Downloader/flow/StartupChecks.h"

bool NoticeAnswer = false;

namespace {

constexpr int kWidth = 324, kHeight = 152;
constexpr TColor kBackground = RGB(44, 44, 55);
constexpr TColor kSoftText = RGB(203, 203, 226);

// The dialog on screen now, if any (one at a time: it is modal).
TForm_Notice* gNotice = nullptr;

}  // namespace

TForm_Notice::TForm_Notice(TComponent* owner, const TNoticeEnvironment& environment, TCustomForm* mainWindow)
    : TCustomForm(owner), FEnv(environment), FMainWindow(mainWindow) {
    NoticeAnswer = false;  // FormCreate
    SetName("Form_Notice");
    SetCaption("Notice");
    SetBounds(0, 0, kWidth, kHeight);
    SetPosition(TPosition::poDesigned);
    SetColor(kBackground);
    SetAlphaBlend(true);
    SetAlphaBlendValue(255);
    SetTaskbarButton(false);
    Font().SetName(FEnv.FontName);

    FormSkin = new TRdFormSkin(this);
    FormSkin->SetName("RdFormSkin1");
    FEnv.LoadPicture("notice_shadow.png", FormSkin->PicShadow());
    FormSkin->PicShadowOption().SetStretchMode(sdmFrame);
    FormSkin->PicShadowOption().SetMargins(20, 20, 20, 20);
    FormSkin->ShadowFrame().SetLeft(10);
    FormSkin->ShadowFrame().SetTop(10);
    FormSkin->ShadowFrame().SetRight(10);
    FormSkin->ShadowFrame().SetBottom(10);
    FormSkin->ShadowFrame().SetEnabled(true);
    FormSkin->EllipseSize().SetWidth(20);
    FormSkin->EllipseSize().SetHeight(20);

    Imagebg = new TRdImageButton(this);
    Imagebg->SetName("Imagebg");
    Imagebg->SetParent(this);
    Imagebg->SetBounds(0, 0, kWidth, kHeight);
    FEnv.LoadPicture("images/smallwindow_bg.png", Imagebg->ImageNormal());

    // The drag area over the whole window, below the icon, text and buttons.
    Imgborder = new TRdStretchImage(this);
    Imgborder->SetName("Imgborder");
    Imgborder->SetParent(this);
    Imgborder->SetBounds(0, 0, kWidth, kHeight);
    Imgborder->OnMouseDown = [this](TControl*, TMouseButton button, TShiftState, int, int) {
        if (button == mbLeft) Drag();
    };

    ImageNoteStatus = new TRdImageNote(this);
    ImageNoteStatus->SetName("ImageNoteStatus");
    ImageNoteStatus->SetParent(this);
    ImageNoteStatus->SetBounds(16, 22, 30, 30);
    ImageNoteStatus->SetStretch(true);
    if (FEnv.Pictures) {
        ImageNoteStatus->Items().Add(FEnv.Pictures->Graphic("icon_warning.png").get(), "warning");
        ImageNoteStatus->Items().Add(FEnv.Pictures->Graphic("icon_question.png").get(), "qusetion");
    }

    lblStatusDes = new TRdLabel(this);
    lblStatusDes->SetName("lblStatusDes");
    lblStatusDes->SetParent(this);
    // A fixed box (see the system notice): never sized to its text.
    lblStatusDes->SetAutoSize(false);
    lblStatusDes->SetBounds(61, 22, 255, 72);
    lblStatusDes->Font().SetName(FEnv.FontName);
    lblStatusDes->Font().SetHeight(-14);
    lblStatusDes->Font().SetColor(kSoftText);
    lblStatusDes->SetFontAntialiased(true);
    lblStatusDes->SetWordWrap(true);
    lblStatusDes->SetEllipsisPosition(epEndEllipsis);
    lblStatusDes->SetAutoShowHint(true);
    lblStatusDes->SetShowHint(true);
    // Pressing on the text moves the window too; there the move starts on release.
    lblStatusDes->OnMouseUp = [this](TControl*, TMouseButton button, TShiftState, int, int) {
        if (button == mbLeft) Drag();
    };

    // Hidden until the show routine makes the right ones visible.
    ButtonOK = NoticeButton(this, this, "ButtonOK", TRect::FromSize(235, 104, 73, 32), true, FEnv);
    ButtonYes = NoticeButton(this, this, "ButtonYes", TRect::FromSize(154, 104, 73, 32), false, FEnv);
    ButtonNO = NoticeButton(this, this, "ButtonNO", TRect::FromSize(235, 104, 73, 32), true, FEnv);
    for (TRdImageButton* b : {ButtonOK, ButtonYes, ButtonNO}) b->SetVisible(false);
    ButtonOK->SetCaption("OK");
    ButtonYes->SetCaption("Yes");
    ButtonNO->SetCaption("No");
    ButtonOK->OnClick = [this](TControl*) { Answer(false); };
    ButtonYes->OnClick = [this](TControl*) { Answer(true); };
    ButtonNO->OnClick = [this](TControl*) { Answer(false); };

    Btn_Close = new TRdImageButton(this);
    Btn_Close->SetName("Btn_Close");
    Btn_Close->SetParent(this);
    Btn_Close->SetBounds(287, 1, 20, 20);
    Btn_Close->SetVisible(false);
    Btn_Close->SetShowHint(true);
    FEnv.LoadPicture("images/btn_close_normal.png", Btn_Close->ImageNormal());
    FEnv.LoadPicture("images/btn_close_press.png", Btn_Close->ImageDown());
    FEnv.LoadPicture("images/btn_close_over.png", Btn_Close->ImageOver());
    Btn_Close->OnClick = [this](TControl*) { Answer(false); };

    OnShow = [this](TControl*) { Btn_Close->SetHint(FEnv.CloseHint); };
    OnActivate = [this](TControl*) {
        if (const auto at = PlaceOver(FMainWindow, Width(), Height())) SetBounds(at->X, at->Y, Width(), Height());
    };
}

void TNoticeEnvironment::LoadPicture(const std::string& file, TPicture& picture) const {
    if (Pictures) Pictures->Load(file, picture);
}

TRdImageButton* NoticeButton(TComponent* owner, TWinControl* parent, const std::string& name, TRect bounds,
                             bool primary, const TNoticeEnvironment& environment) {
    auto* b = new TRdImageButton(owner);
    b->SetName(name);
    b->SetParent(parent);
    b->SetBoundsRect(bounds);
    b->Font().SetName(environment.FontName);
    b->Font().SetHeight(-12);
    b->Font().SetColor(clWhite);
    b->SetFontAntialiased(true);
    b->SetTextLeftMargin(8);
    b->SetTextRightMargin(8);
    b->SetCursor(crHandPoint);
    const std::string look = primary ? "btn_dialog_primary_" : "btn_dialog_secondary_";
    environment.LoadPicture(look + "normal.png", b->ImageNormal());
    environment.LoadPicture(look + "over.png", b->ImageOver());
    environment.LoadPicture(look + "press.png", b->ImageDown());
    b->ImageOption().SetMargins(24, 10, 24, 10);
    return b;
}

std::optional<TPoint> TForm_Notice::PlaceOver(const TCustomForm* mainWindow, int width, int height) {
    if (!mainWindow || !mainWindow->Visible()) return std::nullopt;
    if (mainWindow->Window() && mainWindow->Window()->Minimized()) return std::nullopt;
    const TScreenPoint at = NoticePosition(
        TScreenRect{mainWindow->Left(), mainWindow->Top(), mainWindow->Width(), mainWindow->Height()}, true, false,
        width, height);
    return TPoint{at.x, at.y};
}

void TForm_Notice::SetMode(TNoticeMode mode) {
    const bool question = mode == TNoticeMode::YesNo;
    ButtonOK->SetVisible(!question);
    ButtonYes->SetVisible(question);
    ButtonNO->SetVisible(question);
    if (question) {
        ButtonYes->SetCaption(FEnv.Msg ? FEnv.Msg("M_NoticeYes", "Yes") : "Yes");
        ButtonNO->SetCaption(FEnv.Msg ? FEnv.Msg("M_NoticeNo", "No") : "No");
    } else {
        ButtonOK->SetCaption(FEnv.Msg ? FEnv.Msg("M_NoticeOK", "OK") : "OK");
    }
}

void TForm_Notice::SetIcon(TNoticeIcon icon) { ImageNoteStatus->SetImageIndex(static_cast<int>(icon)); }

void TForm_Notice::SetText(const std::string& text) { lblStatusDes->SetCaption(text); }

void TForm_Notice::Answer(bool yes) {
    NoticeAnswer = yes;
    Close();
}

void TForm_Notice::Drag() {
    if (FEnv.StartDrag) FEnv.StartDrag(*this);
}

bool ShowNotice(TApplication& app, TCustomForm* mainWindow, TNoticeIcon icon, const std::string& text,
                TNoticeMode mode, const TNoticeEnvironment& environment) {
    // A notice opened from inside another one's loop would stack modal loops on
    // one dialog; the first one's answer stands.
    if (gNotice) return false;
    auto* notice = new TForm_Notice(&app, environment, mainWindow);
    gNotice = notice;
    // Free the dialog and clear the instance also when showing it throws.
    struct Cleanup {
        TForm_Notice*& instance;
        TForm_Notice* dialog;
        ~Cleanup() {
            instance = nullptr;
            delete dialog;
        }
    } cleanup{gNotice, notice};
    notice->SetMode(mode);
    notice->SetIcon(icon);
    notice->SetText(text);
    // Placed before it is shown so that it never appears at the corner first.
    if (const auto at = TForm_Notice::PlaceOver(mainWindow, notice->Width(), notice->Height()))
        notice->SetBounds(at->X, at->Y, notice->Width(), notice->Height());
    notice->ShowModal();
    return NoticeAnswer;
}

bool NoticeShowing() { return gNotice != nullptr; }
