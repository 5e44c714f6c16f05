// The installer window's skin folder and theme page: "InstallerSkin\" beside the
// program may change the window's size, colours and pictures when it is first shown;
// the theme page stores the browser's Light or Dark theme.
#include <exception>
#include <filesystem>

#include "Installer/Downloader/flow/SkinFolder.h"
#include "Installer/Downloader/window/uMain.h"
#include "os/Utf8Path.h"
#include "services/VantorConfig.h"

namespace {

bool FileExists(const std::string& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(Utf8Path(file), ec);
}

std::string ProgramFolder(const OsServices& os) {
    const std::string program = os.system.ProgramPath();
    const size_t slash = program.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : program.substr(0, slash + 1);
}

}  // namespace

void TfrmZYRDownloader::LoadSkin() {
    const std::string folder = ProgramFolder(FEnv.os) + kSkinFolderName;
    if (FileExists(folder + "Color.ini")) ApplyColorIni(folder + "Color.ini");
    for (const TSkinPicture& p : SkinPictureTable()) {
        const std::string file = folder + p.file;
        if (!FileExists(file)) continue;
        TComponent* c = FindComponent(p.control);
        if (!c) continue;
        const std::string state = p.state;
        TPicture* picture = nullptr;
        if (auto* image = dynamic_cast<TImage*>(c)) picture = &image->Picture();
        if (auto* b = dynamic_cast<TRdImageButton*>(c)) {
            if (state == "normal") picture = &b->ImageNormal();
            if (state == "over") picture = &b->ImageOver();
            if (state == "down") picture = &b->ImageDown();
            if (state == "unchecked") picture = &b->CheckBoxNormalImage();
            if (state == "checked") picture = &b->CheckBoxCheckedImage();
        }
        if (auto* combo = dynamic_cast<TRdComboBox*>(c)) {
            if (state == "background") picture = &combo->Background();
            if (state == "pressed") picture = &combo->BackgroundClick();
            if (state == "focused") picture = &combo->BackgroundFocus();
            if (state == "scroll") {
                TRdScrollBarImages& bar = combo->VScrollBar().AllSkinImage();
                // The scroll background and the track's bottom come from the same file.
                try {
                    bar.ScrollBg.LoadFromFile(file);
                    bar.TrackBottom.LoadFromFile(file);
                } catch (const std::exception&) {
                }
                continue;
            }
        }
        if (auto* bar = dynamic_cast<TRdProgressBar*>(c)) {
            if (state == "bar") picture = &bar->ImgBar();
            if (state == "background") picture = &bar->ImgBackground();
        }
        if (!picture) continue;
        // A file that cannot be decoded is ignored: the built-in picture stays.
        try {
            picture->LoadFromFile(file);
        } catch (const std::exception&) {
            TraceLine("skin: cannot use " + file);
        }
    }
}

void TfrmZYRDownloader::ApplyColorIni(const std::string& file) {
    const TSkinColors c = ReadColorIni(file, Width(), Height());
    if (c.width != Width() || c.height != Height()) SetBounds(Left(), Top(), c.width, c.height);
    for (TPageTab* page : {PageTab_Main, PageTab_InstallOption, PageTab_Install, PageTab_Finished, PageTab_Proxy})
        page->SetColor(static_cast<TColor>(c.bgColor));
    InstallLicense->Font().SetColor(static_cast<TColor>(c.licenseColor));
    for (int i = 0; i < InstallLicense->LinkItems().Count(); ++i)
        InstallLicense->LinkItems()[i].Font().SetColor(static_cast<TColor>(c.licenseColor));
    lbl_Option->Font().SetColor(static_cast<TColor>(c.optionColor));
    lbl_AgreenInstall->Font().SetColor(static_cast<TColor>(c.installButtonColor));
    Cbx_Language->Font().SetColor(static_cast<TColor>(c.languageColor));
    for (TControl* control : std::initializer_list<TControl*>{lbl_OptionTitle, lbl_ChoosePath, cbxCreateIcon, lbl_Back})
        control->Font().SetColor(static_cast<TColor>(c.optionTitleColor));
    btnBroswe->Font().SetColor(static_cast<TColor>(c.installButtonColor));
    btnOptionInstall->Font().SetColor(static_cast<TColor>(c.installButtonColor));
    btnProxy->Font().SetColor(static_cast<TColor>(c.proxyButtonColor));
    btnFinished->Font().SetColor(static_cast<TColor>(c.finishedButtonColor));
    FormResize();
}

std::string TfrmZYRDownloader::BrowserUserDataDir() {
    try {
        return FProbe.GetBrowserUserDataDir();
    } catch (const std::exception&) {
        return {};
    }
}

bool TfrmZYRDownloader::IsThemeChosen() {
    try {
        const std::string file = BrowserUserDataDir() + "config.kvdt";
        if (!FileExists(file)) return false;
        TVantorConfig config(file, FEnv.clock);
        return config.ValueExists("Main", "Color");
    } catch (const std::exception&) {
        return false;
    }
}

void TfrmZYRDownloader::ShowThemePage() {
    BringInstallerToFront();
    btnClose->SetEnabled(true);
    lbl_ColorpgCap->SetCaption(Msg("M_ColorpgCap", "Please choose your preferred theme color:"));
    cbxColorpg_Light->SetCaption(Msg("M_ColorpgLight", "Light"));
    cbxColorpg_Dark->SetCaption(Msg("M_ColorpgDark", "Dark"));
    Rdbtn_ColorpgDone->SetCaption(Msg("M_ColorpgDone", "Done"));
    CentreHorizontally(Rdbtn_ColorpgDone);
    for (TRdImageButton* check : {cbxColorpg_Light, cbxColorpg_Dark})
        check->SetWidth(TextWidth(check, check->Caption()) + 24 + 4);
    cbxColorpg_Light->SetLeft(Image_ColorpgWhiteHot->Left() +
                              (Image_ColorpgWhiteHot->Width() - cbxColorpg_Light->Width()) / 2);
    cbxColorpg_Dark->SetLeft(Image_ColorpgBlackHot->Left() +
                             (Image_ColorpgBlackHot->Width() - cbxColorpg_Dark->Width()) / 2);
    FPages.Apply(TPageEvent::SetupEndedNoTheme);
}

void TfrmZYRDownloader::ShowThemePageForTest() {
    FPages.Apply(TPageEvent::InstallStarted);
    ShowThemePage();
}

void TfrmZYRDownloader::SelectLight() {
    FTheme.SelectLight();
    ShowThemeState();
}

void TfrmZYRDownloader::SelectDark() {
    FTheme.SelectDark();
    ShowThemeState();
}

// The pictures, frames and check buttons as the choice says.
void TfrmZYRDownloader::ShowThemeState() {
    Image_ColorpgWhiteHot->SetVisible(FTheme.lightFrame);
    Image_ColorpgBlackHot->SetVisible(FTheme.darkFrame);
    Image_ColorpgWhiteHover->SetVisible(FTheme.lightHover);
    Image_ColorpgBlackHover->SetVisible(FTheme.darkHover);
    if (FTheme.lightFrame) Image_ColorpgWhiteHot->BringToFront();
    if (FTheme.lightHover) Image_ColorpgWhiteHover->BringToFront();
    if (FTheme.darkHover) Image_ColorpgBlackHover->BringToFront();
    cbxColorpg_Light->SetChecked(FTheme.lightChecked);
    cbxColorpg_Dark->SetChecked(FTheme.darkChecked);
}

void TfrmZYRDownloader::SaveTheme() {
    try {
        TVantorConfig config(BrowserUserDataDir() + "config.kvdt", FEnv.clock);
        config.WriteString("Main", "Color", FTheme.Value());
    } catch (const std::exception&) {
    }
}
