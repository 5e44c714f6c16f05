// The installer window's controls: every control at its place with its default
// text, colour and font, and the built-in pictures. Texts are replaced by the
// language right after (uMain_Language.cpp); a skin folder may replace pictures and
// colours when the window is first shown (uMain_Skin.cpp).
#include "Installer/Downloader/window/uMain.h"

namespace {

constexpr TColor kTitleGrey = RGB(113, 113, 146);
constexpr TColor kSoftText = RGB(203, 203, 226);
constexpr TColor kPageColor = RGB(241, 241, 241);
const char* const kProductName = "Qarto Private Browser";

}  // namespace

TPageTab* TfrmZYRDownloader::Page(const std::string& name, TColor color) {
    auto* page = new TPageTab(this);
    page->SetName(name);
    page->SetParent(PageNoteInstall);
    // At its final size before anything anchored to its sides is placed on it.
    page->SetBounds(0, 0, PageNoteInstall->Width(), PageNoteInstall->Height());
    page->SetColor(color);
    return page;
}

// Every page has a background picture at (0, -40), the window's size, so that it
// lines up with the window background behind the title strip. Pressing on it never
// moves the window: it only takes the focus from the path edit.
TRdImage* TfrmZYRDownloader::PageBackground(TPageTab* page, const std::string& name) {
    auto* image = new TRdImage(this);
    image->SetName(name);
    image->SetParent(page);
    image->SetBounds(0, -40, 640, 390);
    image->SetStretch(true);
    image->SetAnchors(akLeft | akTop | akRight | akBottom);
    image->OnMouseDown = [this](TControl*, TMouseButton, TShiftState, int, int) { DropPathFocus(); };
    return image;
}

TRdImage* TfrmZYRDownloader::Picture(TWinControl* parent, const std::string& name, TRect bounds,
                                     const std::string& file) {
    auto* image = new TRdImage(this);
    image->SetName(name);
    image->SetParent(parent);
    image->SetBoundsRect(bounds);
    image->SetStretch(true);
    if (!file.empty()) FPictures.Load(file, image->Picture());
    return image;
}

TRdLabel* TfrmZYRDownloader::Label(TWinControl* parent, const std::string& name, TRect bounds, int pixels,
                                   TColor color, const std::string& caption, bool wordWrap) {
    auto* label = new TRdLabel(this);
    label->SetName(name);
    label->SetParent(parent);
    // Wrapped before anything sizes it: a wrapped label that sizes itself keeps its
    // width and only grows or shrinks in height.
    label->SetWordWrap(wordWrap);
    label->SetBoundsRect(bounds);
    label->Font().SetName(FFontName);
    label->Font().SetHeight(-pixels);
    label->Font().SetColor(color);
    label->SetFontAntialiased(true);
    label->SetCaption(caption);
    return label;
}

TRdLabel* TfrmZYRDownloader::LinkLabel(TWinControl* parent, const std::string& name, TRect bounds,
                                       const std::string& caption) {
    TRdLabel* label = Label(parent, name, bounds, 14, kSoftText, caption);
    label->Font().SetStyle(fsUnderline);
    label->SetCursor(crHandPoint);
    label->SetAutoSize(true);
    // White under the pointer, back to the soft colour when it leaves.
    label->OnMouseEnter = [label](TControl*) { label->Font().SetColor(clWhite); };
    label->OnMouseLeave = [label](TControl*) { label->Font().SetColor(kSoftText); };
    return label;
}

TRdImageButton* TfrmZYRDownloader::MainButton(TWinControl* parent, const std::string& name, TRect bounds,
                                              const std::string& caption, const std::string& prefix) {
    auto* b = new TRdImageButton(this);
    b->SetName(name);
    b->SetParent(parent);
    b->SetBoundsRect(bounds);
    b->SetCaption(caption);
    b->Font().SetName(FFontName);
    b->Font().SetHeight(-16);
    b->Font().SetColor(clWhite);
    b->SetFontAntialiased(true);
    b->SetFontDisabledColor(RGB(160, 160, 176));
    // "btn_install" and "btnmin_install": two spellings of the same look in the design.
    const bool upperStates = prefix == "btn_install";
    FPictures.Load(prefix + "_normal.png", b->ImageNormal());
    FPictures.Load(upperStates ? "btn_Install_Over.png" : prefix + "_over.png", b->ImageOver());
    FPictures.Load(upperStates ? "btn_Install_Press.png" : prefix + "_press.png", b->ImageDown());
    FPictures.Load(prefix + "_disabled.png", b->ImageDisabled());
    b->ImageOption().SetMargins(10, 10, 10, 10);
    b->SetHoverEffect(ibeSingle);
    b->SetCursor(crHandPoint);
    b->SetTextLeftMargin(8);
    b->SetTextRightMargin(8);
    return b;
}

TRdImageButton* TfrmZYRDownloader::SmallButton(TWinControl* parent, const std::string& name, TRect bounds,
                                               const std::string& caption) {
    auto* b = new TRdImageButton(this);
    b->SetName(name);
    b->SetParent(parent);
    b->SetBoundsRect(bounds);
    b->SetCaption(caption);
    b->Font().SetName(FFontName);
    b->Font().SetHeight(-13);
    b->Font().SetColor(clWhite);
    b->SetFontAntialiased(true);
    b->SetFontDisabledColor(RGB(140, 140, 156));
    FPictures.Load("btn_subscribe_normal.png", b->ImageNormal());
    FPictures.Load("btn_subscribe_over.png", b->ImageOver());
    FPictures.Load("btn_subscribe_press.png", b->ImageDown());
    FPictures.Load("btn_subscribe_disabled.png", b->ImageDisabled());
    b->ImageOption().SetMargins(8, 8, 8, 8);
    b->SetCursor(crHandPoint);
    return b;
}

TRdImageButton* TfrmZYRDownloader::CheckButton(TWinControl* parent, const std::string& name, TRect bounds,
                                               const std::string& caption, bool checked, bool radio) {
    auto* b = new TRdImageButton(this);
    b->SetName(name);
    b->SetParent(parent);
    b->SetBoundsRect(bounds);
    b->SetCaption(caption);
    b->Font().SetName(FFontName);
    b->Font().SetHeight(-14);
    b->Font().SetColor(kSoftText);
    b->SetFontHoverColor(clWhite);
    b->SetFontAntialiased(true);
    b->SetShowCheckBox(true);
    b->SetButtonCaptionAlignment(taLeftJustify);
    b->SetTextOffset(24);
    b->SetCheckBoxOffset(0);
    b->SetCursor(crHandPoint);
    const std::string off = radio ? "radio_off" : "checkbox_unchecked";
    const std::string on = radio ? "radio_on" : "checkbox_checked";
    FPictures.Load(off + ".png", b->CheckBoxNormalImage());
    FPictures.Load(off + "_over.png", b->CheckBoxUnCheckedHoverImage());
    FPictures.Load(on + ".png", b->CheckBoxCheckedImage());
    FPictures.Load(on + "_over.png", b->CheckBoxCheckedHoverImage());
    if (!radio) {
        FPictures.Load("checkbox_unchecked_disabled.png", b->CheckBoxGrayedImage());
        FPictures.Load("checkbox_checked_disabled.png", b->CheckBoxCheckedGrayedImage());
    }
    b->SetChecked(checked);
    return b;
}

TRdEdit* TfrmZYRDownloader::Edit(TWinControl* parent, const std::string& name, TRect bounds) {
    auto* e = new TRdEdit(this);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBoundsRect(bounds);
    e->SetColor(clNone);
    for (TRdFont* f : {&e->FontNormal(), &e->FontError(), &e->FontDisabled()}) {
        f->SetName(FFontName);
        f->SetHeight(-14);
    }
    e->FontNormal().SetColor(clWhite);
    e->FontError().SetColor(RGB(255, 200, 205));
    e->FontDisabled().SetColor(RGB(130, 130, 148));
    FPictures.Load("edit_normal.png", e->ImageNormal());
    FPictures.Load("edit_normal.png", e->ImageEmpty());
    FPictures.Load("edit_hover.png", e->ImageOver());
    FPictures.Load("edit_focus.png", e->ImageSelected());
    FPictures.Load("edit_disabled.png", e->ImageDisabled());
    FPictures.Load("edit_error.png", e->ImageError());
    e->ImageOption().SetMargins(8, 8, 8, 8);
    e->SetTextLeftMargin(10);
    e->SetTextRightMargin(10);
    return e;
}

TRdProgressBar* TfrmZYRDownloader::ProgressBar(TWinControl* parent, const std::string& name, TRect bounds,
                                               bool thin) {
    auto* p = new TRdProgressBar(this);
    p->SetName(name);
    p->SetParent(parent);
    p->SetBoundsRect(bounds);
    p->SetMax(10000);
    if (thin) {
        FPictures.Load("loading_bar_bg.png", p->ImgBackground());
        FPictures.Load("loading_bar.png", p->ImgBar());
    } else {
        FPictures.Load("progress_bar_bg.png", p->ImgBackground());
        FPictures.Load("progress_bar.png", p->ImgBar());
        FPictures.Load("progress_booster.png", p->ImgBooster());
        for (TDesignRect* o : {&p->ImgBackgroundOption(), &p->ImgBarOption()}) o->SetMargins(6, 0, 6, 0);
    }
    // Both bars show on the taskbar button: the download page's while it moves, the
    // bottom bar when an unverified package's run sets it (the only time it moves).
    p->SetShowInTaskbar(true);
    return p;
}

void TfrmZYRDownloader::BuildControls() {
    SetName("frmZYRDownloader");
    SetCaption("Qarto VPN Browser");
    SetBounds(0, 0, 640, 390);
    SetPosition(TPosition::poScreenCenter);
    SetColor(clBlack);
    SetPerPixelAlpha(true);
    Font().SetName(FFontName);
    Font().SetHeight(-13);

    FormSkin = new TRdFormSkin(this);
    FormSkin->SetName("RdFormSkin1");
    FPictures.Load("window_shadow.png", FormSkin->PicShadow());
    FormSkin->PicShadowOption().SetStretchMode(sdmFrame);
    FormSkin->PicShadowOption().SetMargins(15, 15, 15, 15);
    FormSkin->ShadowFrame().SetLeft(15);
    FormSkin->ShadowFrame().SetTop(15);
    FormSkin->ShadowFrame().SetRight(15);
    FormSkin->ShadowFrame().SetBottom(15);
    FormSkin->ShadowFrame().SetEnabled(true);
    FormSkin->BorderLines().SetColor(clBlack);
    FormSkin->SetFixFlashBlack(true);

    pnlCenter = new TRdPanel(this);
    pnlCenter->SetName("pnlCenter");
    pnlCenter->SetParent(this);
    pnlCenter->SetAlign(alClient);
    pnlCenter->SetColor(clBlack);

    img_back = Picture(pnlCenter, "img_back", TRect::FromSize(0, 0, 640, 390), "background.png");
    img_back->SetAnchors(akLeft | akTop | akRight | akBottom);

    PageNoteInstall = new TPageNote(this);
    PageNoteInstall->SetName("PageNoteInstall");
    PageNoteInstall->SetParent(pnlCenter);
    PageNoteInstall->SetBounds(0, 40, 640, 350);
    PageNoteInstall->SetAnchors(akLeft | akTop | akRight | akBottom);

    BuildTitleStrip();
    BuildMainPage();
    BuildOptionsPage();
    BuildThemePage();
    BuildDownloadPage();
    BuildFinishPage();
    BuildHiddenPages();

    // Made disabled: adding an icon and taking it away at once would flash it in the
    // notification area (and under Wine hold the start for the shell's 2 s wait).
    Tray = new TCCTrayIcon(this, false);
    Tray->SetName("Tray");
    // Its menu: "Open" brings the installer back.
    auto* trayMenu = new TPopupMenu(this);
    trayMenu->SetName("PopupMenu1");
    trayMenu->Add("Open", [this](TMenuItem&) { BringInstallerToFront(); });
    Tray->SetPopupMenu(trayMenu);
}

void TfrmZYRDownloader::BuildTitleStrip() {
    imgTitle = Picture(pnlCenter, "imgTitle", TRect::FromSize(10, 10, 16, 16), "quill_icon.png");
    imgTitle->SetStretch(false);
    lbl_Title = Label(pnlCenter, "lbl_Title", TRect::FromSize(34, 10, 345, 20), 14, kTitleGrey, kProductName);
    lblCaption = Label(pnlCenter, "lblCaption", TRect::FromSize(34, 10, 345, 20), 14, kTitleGrey,
                       "Qarto Private Browser Installer");
    lblCaption->SetVisible(false);

    Cbx_Language = new TRdComboBox(this);
    Cbx_Language->SetName("Cbx_Language");
    Cbx_Language->SetParent(pnlCenter);
    Cbx_Language->SetBounds(454, -2, 98, 32);
    Cbx_Language->SetTabStop(false);
    Cbx_Language->Font().SetName(FFontName);
    Cbx_Language->Font().SetHeight(-12);
    Cbx_Language->Font().SetColor(kSoftText);
    FPictures.Load("language_normal.png", Cbx_Language->Background());
    FPictures.Load("language_over.png", Cbx_Language->BackgroundHot());
    FPictures.Load("language_over.png", Cbx_Language->BackgroundFocus());
    FPictures.Load("language_press.png", Cbx_Language->BackgroundClick());
    FPictures.Load("language_disabled.png", Cbx_Language->BackgroundDisable());
    Cbx_Language->BackgroundOption().SetMargins(8, 0, 24, 0);
    Cbx_Language->SetComboboxHeight(24);
    Cbx_Language->SetItemHeight(24);
    Cbx_Language->SetDropDownCount(8);
    Cbx_Language->SetColor(RGB(38, 38, 50));
    Cbx_Language->SetBorderColor(RGB(58, 58, 78));
    Cbx_Language->SetItemColor(kSoftText);
    Cbx_Language->SetItemHotColor(clWhite);
    Cbx_Language->SetItemHotBgColor(RGB(85, 69, 228));
    TRdScrollBarImages& bar = Cbx_Language->VScrollBar().AllSkinImage();
    bar.SetAllowArrow(false);
    FPictures.Load("scrollbarver_bar_normal.png", bar.ScrollBg);
    bar.ScrollBg_Option.SetTop(3);
    bar.ScrollBg_Option.SetBottom(3);
    FPictures.Load("scrollbar_thumb_top.png", bar.TrackTop);
    FPictures.Load("scrollbar_thumb_middle.png", bar.TrackCenter);
    FPictures.Load("scrollbar_thumb_bottom.png", bar.TrackBottom);
    FPictures.Load("scrollbar_thumb_top_hot.png", bar.TrackTopHot);
    FPictures.Load("scrollbar_thumb_middle_hot.png", bar.TrackCenterHot);
    FPictures.Load("scrollbar_thumb_bottom_hot.png", bar.TrackBottomHot);
    Cbx_Language->VScrollBar().SetWidth(8);
    TRdFormSkin& shadow = Cbx_Language->ListFormShadow();
    FPictures.Load("combo_list_shadow.png", shadow.PicShadow());
    shadow.PicShadowOption().SetStretchMode(sdmFrame);
    shadow.PicShadowOption().SetMargins(6, 6, 6, 6);
    shadow.ShadowFrame().SetLeft(6);
    shadow.ShadowFrame().SetTop(6);
    shadow.ShadowFrame().SetRight(6);
    shadow.ShadowFrame().SetBottom(6);
    shadow.ShadowFrame().SetEnabled(true);

    auto titleButton = [this](const std::string& name, int left, const std::string& kind, const std::string& hint) {
        auto* b = new TRdImageButton(this);
        b->SetName(name);
        b->SetParent(pnlCenter);
        b->SetBounds(left, 0, 40, 30);
        FPictures.Load("btn_form_" + kind + "_normal.png", b->ImageNormal());
        FPictures.Load("btn_form_" + kind + "_over.png", b->ImageOver());
        FPictures.Load("btn_form_" + kind + "_press.png", b->ImageDown());
        b->SetHint(hint);
        b->SetShowHint(true);
        return b;
    };
    btnMin = titleButton("btnMin", 560, "minmize", "Minimize");
    btnClose = titleButton("btnClose", 600, "close", "Close");
}

void TfrmZYRDownloader::BuildMainPage() {
    PageTab_Main = Page("PageTab_Main", kPageColor);
    SubBg = PageBackground(PageTab_Main, "SubBg");
    FPictures.Load("content_bg_default.png", SubBg->Picture());
    Img_MainpgLogo1 = Picture(PageTab_Main, "Img_MainpgLogo1", TRect::FromSize(88, 44, 64, 64), "logo_product.png");
    Img_MainpgLogo2 = Picture(PageTab_Main, "Img_MainpgLogo2", TRect::FromSize(88, 108, 64, 64), "logo_vpn.png");
    lbl_MainpgTitle = Label(PageTab_Main, "lbl_MainpgTitle", TRect::FromSize(176, 47, 450, 32), 24, clWhite,
                            "Ready to install Qarto Private Browser", true);
    lbl_MainpgTitle->SetAutoSize(true);
    lbl_MainpgFunc = Label(PageTab_Main, "lbl_MainpgFunc", TRect::FromSize(176, 83, 450, 20), 14, kSoftText,
                           "Safe browser with built-in VPN.Secure,Fast and Free!", true);
    lbl_MainpgFunc->SetAutoSize(true);
    lbl_AgreenInstall = MainButton(PageTab_Main, "lbl_AgreenInstall", TRect::FromSize(226, 201, 189, 50), "Install Now",
                                   "btn_install");
    lbl_Option = LinkLabel(PageTab_Main, "lbl_Option", TRect::FromSize(258, 255, 100, 20), "Customize...");
    lbl_Option->SetAlignment(taCenter);

    InstallLicense = new TRdHtmLabel(this);
    InstallLicense->SetName("InstallLicense");
    InstallLicense->SetParent(PageTab_Main);
    InstallLicense->SetBounds(15, 308, 610, 20);
    InstallLicense->SetAlignment(taCenter);
    InstallLicense->SetWordWrap(true);
    InstallLicense->SetAutoSize(true);
    InstallLicense->SetLineSpacing(8);
    InstallLicense->Font().SetName(FFontName);
    InstallLicense->Font().SetHeight(-12);
    InstallLicense->Font().SetColor(kTitleGrey);
    InstallLicense->SetFontAntialiased(true);
    for (int i = 0; i < 2; ++i) {
        TRdHtmLabelLink& link = InstallLicense->LinkItems().Add();
        link.SetName(i == 0 ? "EULA" : "Privacy");
        link.Font().SetName(FFontName);
        link.Font().SetHeight(-12);
        link.Font().SetColor(kTitleGrey);
        link.Font().SetStyle(fsUnderline);
        link.FontHover().SetName(FFontName);
        link.FontHover().SetHeight(-12);
        link.FontHover().SetColor(kSoftText);
        link.FontHover().SetStyle(fsUnderline);
        link.SetCursor(crHandPoint);
    }

    Rdbtn_MainpgVer = new TRdImageButton(this);
    Rdbtn_MainpgVer->SetName("Rdbtn_MainpgVer");
    Rdbtn_MainpgVer->SetParent(PageTab_Main);
    Rdbtn_MainpgVer->SetBounds(560, 10, 70, 20);
    Rdbtn_MainpgVer->SetVisible(false);  // the version badge is hidden
    lbl_Back = Label(PageTab_Main, "lbl_Back", TRect::FromSize(20, 10, 60, 20), 14, kSoftText, "Back");
    lbl_Back->SetVisible(false);
}

void TfrmZYRDownloader::BuildOptionsPage() {
    PageTab_InstallOption = Page("PageTab_InstallOption", kPageColor);
    Image_Optionbg = PageBackground(PageTab_InstallOption, "Image_Optionbg");
    Img_OptionpgLogo1 =
        Picture(PageTab_InstallOption, "Img_OptionpgLogo1", TRect::FromSize(88, 44, 64, 64), "logo_product.png");
    Img_OptionpgLogo2 =
        Picture(PageTab_InstallOption, "Img_OptionpgLogo2", TRect::FromSize(88, 108, 64, 64), "logo_vpn.png");
    lbl_OptionTitle = Label(PageTab_InstallOption, "lbl_OptionTitle", TRect::FromSize(176, 47, 450, 32), 24, clWhite,
                            "Install Options");
    lbl_ChoosePath = Label(PageTab_InstallOption, "lbl_ChoosePath", TRect::FromSize(176, 80, 424, 20), 14, kSoftText,
                           "Choose the folder where to install:");
    edtPath = Edit(PageTab_InstallOption, "edtPath", TRect::FromSize(176, 106, 322, 32));
    btnBroswe = SmallButton(PageTab_InstallOption, "btnBroswe", TRect::FromSize(506, 106, 94, 32), "Browse...");
    cbxCreateIcon = CheckButton(PageTab_InstallOption, "cbxCreateIcon", TRect::FromSize(176, 146, 200, 20),
                                "Create a desktop icon", true, false);
    cbxTaskbar = CheckButton(PageTab_InstallOption, "cbxTaskbar", TRect::FromSize(176, 168, 200, 20), "Pin to taskbar",
                             true, false);
    cbxTaskbar->SetVisible(false);  // until the page is first opened
    btnOptionInstall = MainButton(PageTab_InstallOption, "btnOptionInstall", TRect::FromSize(226, 201, 189, 50),
                                  "Install", "btnmin_install");
    lbl_OptionpgBack = LinkLabel(PageTab_InstallOption, "lbl_OptionpgBack", TRect::FromSize(269, 255, 60, 20), "Back");
}

void TfrmZYRDownloader::BuildThemePage() {
    PageTab_Color = Page("PageTab_Color", kPageColor);
    Image_ColorBg = PageBackground(PageTab_Color, "Image_ColorBg");
    Image_ColorpgTitle = Picture(PageTab_Color, "Image_ColorpgTitle", TRect::FromSize(105, 20, 24, 24), "theme_icon.png");
    lbl_ColorpgCap = Label(PageTab_Color, "lbl_ColorpgCap", TRect::FromSize(139, 23, 460, 22), 16, clWhite,
                           "Please choose your preferred theme color:");
    auto preview = [this](const std::string& name, int left, const std::string& file) {
        TRdImage* image = Picture(PageTab_Color, name, TRect::FromSize(left, 65, 160, 100), file);
        image->SetCursor(crHandPoint);
        return image;
    };
    Image_ColorpgWhite = preview("Image_ColorpgWhite", 140, "theme_preview_light.png");
    Image_ColorpgBlack = preview("Image_ColorpgBlack", 340, "theme_preview_dark.png");
    Image_ColorpgWhiteHot = preview("Image_ColorpgWhiteHot", 140, "theme_frame_selected.png");
    Image_ColorpgBlackHot = preview("Image_ColorpgBlackHot", 340, "theme_frame_selected.png");
    Image_ColorpgWhiteHover = preview("Image_ColorpgWhiteHover", 140, "theme_frame_hover.png");
    Image_ColorpgBlackHover = preview("Image_ColorpgBlackHover", 340, "theme_frame_hover.png");
    cbxColorpg_Light =
        CheckButton(PageTab_Color, "cbxColorpg_Light", TRect::FromSize(180, 175, 80, 20), "Light", true, true);
    cbxColorpg_Dark =
        CheckButton(PageTab_Color, "cbxColorpg_Dark", TRect::FromSize(380, 175, 80, 20), "Dark", false, true);
    Rdbtn_ColorpgDone =
        MainButton(PageTab_Color, "Rdbtn_ColorpgDone", TRect::FromSize(210, 240, 189, 50), "Done", "btn_install");
    ShowThemeState();
}

void TfrmZYRDownloader::BuildDownloadPage() {
    PageTab_Download = Page("PageTab_Download", clDefault);
    Image_DownloadBg = PageBackground(PageTab_Download, "Image_DownloadBg");
    Img_DownloadpgLogo1 =
        Picture(PageTab_Download, "Img_DownloadpgLogo1", TRect::FromSize(88, 44, 64, 64), "logo_product.png");
    Img_DownloadpgLogo2 =
        Picture(PageTab_Download, "Img_DownloadpgLogo2", TRect::FromSize(88, 108, 64, 64), "logo_vpn.png");
    lbl_DownloadpgTitle = Label(PageTab_Download, "lbl_DownloadpgTitle", TRect::FromSize(176, 47, 440, 32), 24,
                                clWhite, "Installation is in Progress...");
    lbl_DownloadpgDes = Label(PageTab_Download, "lbl_DownloadpgDes", TRect::FromSize(176, 80, 440, 20), 14, kSoftText,
                              "Please wait while the program is being installed.");
    imgProgress_DP = ProgressBar(PageTab_Download, "imgProgress_DP", TRect::FromSize(176, 119, 420, 12), false);
    lblDownloadpgInstalling = Label(PageTab_Download, "lblDownloadpgInstalling", TRect::FromSize(176, 139, 250, 20),
                                    14, kSoftText, "Installing: 0%");
    lblDownloadpgInstalling->SetVisible(false);  // the first progress shows it
    Label_Initializing_DP = Label(PageTab_Download, "Label_Initializing_DP", TRect::FromSize(176, 139, 250, 20), 14,
                                  kSoftText, "Initializing...");
    lbl_DownloadpgCancel = LinkLabel(PageTab_Download, "lbl_DownloadpgCancel", TRect::FromSize(546, 139, 50, 20),
                                     "Cancel");
    lbl_DownloadpgCancel->SetAlignment(taRightJustify);
}

void TfrmZYRDownloader::BuildFinishPage() {
    PageTab_Finished = Page("PageTab_Finished", kPageColor);
    Image_FinishedBg = PageBackground(PageTab_Finished, "Image_FinishedBg");
    Img_FinishpgLogo1 =
        Picture(PageTab_Finished, "Img_FinishpgLogo1", TRect::FromSize(88, 44, 64, 64), "logo_product.png");
    Img_FinishpgLogo2 =
        Picture(PageTab_Finished, "Img_FinishpgLogo2", TRect::FromSize(88, 108, 64, 64), "finish_success.png");
    lbl_FinishpgTitle = Label(PageTab_Finished, "lbl_FinishpgTitle", TRect::FromSize(176, 47, 440, 32), 24, clWhite,
                              "Installation Completed!");
    lbl_FinishpgDes = Label(PageTab_Finished, "lbl_FinishpgDes", TRect::FromSize(176, 83, 440, 40), 14, kSoftText,
                            "Click \"Run Now\" to enjoy yourself.", true);
    Rdbtn_FinishpgSetDefault = CheckButton(PageTab_Finished, "Rdbtn_FinishpgSetDefault",
                                           TRect::FromSize(176, 140, 424, 20),
                                           "Make Qarto Private Browser as your default browser", true, false);
    btnFinished =
        MainButton(PageTab_Finished, "btnFinished", TRect::FromSize(226, 201, 189, 50), "Run Now", "btn_install");
    Rdbtn_FinishpgClose =
        MainButton(PageTab_Finished, "Rdbtn_FinishpgClose", TRect::FromSize(226, 201, 189, 50), "Close", "btn_install");
    Rdbtn_FinishpgClose->SetVisible(false);
    Rdbtn_FinishpgFeedback =
        LinkLabel(PageTab_Finished, "Rdbtn_FinishpgFeedback", TRect::FromSize(258, 255, 120, 20), "Send feedback");
    Rdbtn_FinishpgFeedback->SetVisible(false);
}

void TfrmZYRDownloader::BuildHiddenPages() {
    PageTab_Install = Page("PageTab_Install", clBlack);
    img_Install_bg = PageBackground(PageTab_Install, "img_Install_bg");
    imgProgress = ProgressBar(PageTab_Install, "imgProgress", TRect::FromSize(1, 341, 638, 9), true);
    Label_Cap_DP = Label(PageTab_Install, "Label_Cap_DP", TRect::FromSize(20, 310, 300, 20), 14, clWhite, "Installing...");

    PageTab_Proxy = Page("PageTab_Proxy", kPageColor);
    Image_ProcxyBg = PageBackground(PageTab_Proxy, "Image_ProcxyBg");
    Label(PageTab_Proxy, "lbl_ProxyCaption", TRect::FromSize(176, 20, 400, 22), 16, clWhite,
          "Please specify your proxy settings");
    const char* names[] = {"Host:", "Port:", "User Name:", "Password:"};
    TRdEdit** edits[] = {&edtHost, &edtPort, &edtUserName, &edtPwd};
    const char* editNames[] = {"edtHost", "edtPort", "edtUserName", "edtPwd"};
    for (int i = 0; i < 4; ++i) {
        Label(PageTab_Proxy, std::string("lbl_Proxy") + std::to_string(i), TRect::FromSize(176, 60 + i * 40, 90, 20),
              14, kSoftText, names[i]);
        *edits[i] = Edit(PageTab_Proxy, editNames[i], TRect::FromSize(270, 54 + i * 40, 322, 32));
    }
    edtHost->SetMaxLength(128);
    edtPort->SetNumbersOnly(true);
    edtPort->SetMaxLength(5);
    edtUserName->SetMaxLength(200);
    edtPwd->SetMaxLength(128);
    edtPort->SetText("80");
    edtPwd->SetPasswordChar(U'*');
    btnProxy = SmallButton(PageTab_Proxy, "btnProxy", TRect::FromSize(498, 220, 94, 32), "Apply");
}
