// The installer window: construction, the start-up sequence, the pages and their
// buttons, dragging, the close button and closing.
#include "Installer/Downloader/window/uMain.h"

#include <cctype>
#include <exception>
#include <filesystem>

#include "Installer/Downloader/download/DescriptorRace.h"
#include "Installer/Downloader/download/uDownloader.h"
#include "Installer/Downloader/flow/InstallPath.h"
#include "Installer/Downloader/flow/InstallSource.h"
#include "Installer/Downloader/flow/ProductNames.h"
#include "Installer/Downloader/flow/StartupChecks.h"
#include "Installer/Downloader/window/UnitSysSupportNoticeNew.h"
#include "os/UserLaunch.h"
#include "os/Utf8Path.h"
#include "services/AppFrame.h"
#include "services/LogFiles.h"
#include "services/SystemInfo.h"
#include "services/TestHooks.h"
#include "services/UsageReport.h"

namespace {

std::string Format(const std::string& text, const std::string& value) {
    std::string out = text;
    if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, value);
    return out;
}

TFlowAddresses FlowAddresses(const TDeployment& d) {
    return {d.Host(TServerRole::Update) + "/dl/zyr/installer/dl-infonew.upt",
            d.Host(TServerRole::Regional) + "/dl/zyr/installer/dl-infoar.upt",
            d.Host(TServerRole::Download) + "/dl/qarto-private-browser-setup.exe"};
}

}  // namespace

TfrmZYRDownloader::TfrmZYRDownloader(TComponent* owner, TInstallerEnvironment environment)
    : TCustomForm(owner),
      FEnv(environment),
      FPictures([platform = &environment.platform](const std::string& name) { return platform->Resource(name); }),
      FOptions(environment.os, *this),
      FDeployment(environment.os.registry),
      FProbe(environment.os),
      FIdentity(environment.os, FProbe),
      FApi(environment.os, environment.curl, FDeployment, FIdentity),
      FTestHooks(TestHooksEnabled(environment.os.registry)) {
    FApi.ReadTestFile = FTestHooks;
    FFlow = std::make_unique<TInstallFlow>(environment.curl.Loop(), environment.internet, environment.os.disks,
                                           static_cast<TInstallFlowView&>(*this),
                                           FlowAddresses(FDeployment));
    FFlow->TestHooks = FTestHooks;
    FPages.OnChange = [this](TInstallerPage from, TInstallerPage to) { PageChanged(from, to); };
    FPages.OnUnexpected = [this](const std::string& what) { TraceLine("page flow: unexpected " + what); };
    FNoticeEnvironment.Msg = [this](const std::string& key, const std::string& def) { return Msg(key, def); };
    FNoticeEnvironment.Pictures = &FPictures;
    FNoticeEnvironment.StartDrag = [this](TCustomForm& form) { FEnv.platform.StartWindowDrag(form); };
    BuildControls();
    BindEvents();
    OnCreate = [this](TControl*) { FormCreate(); };
    OnShow = [this](TControl*) { FormShow(); };
    OnResize = [this](TControl*) { FormResize(); };
    OnClose = [this](TControl*, TCloseAction&) { FClosing = true; };
}

TfrmZYRDownloader::~TfrmZYRDownloader() { FFlow.reset(); }

void TfrmZYRDownloader::TraceLine(const std::string& text) const { FEnv.platform.Trace(text); }

void TfrmZYRDownloader::EndProcessNow() { FEnv.platform.EndProcess(); }

void TfrmZYRDownloader::BindEvents() {
    // Dragging: the title strip and the page titles move the window.
    for (TControl* c : std::initializer_list<TControl*>{img_back, imgTitle, lblCaption, lbl_Title, lbl_MainpgTitle,
                                                        lbl_DownloadpgTitle, lbl_FinishpgTitle, Label_Cap_DP})
        c->OnMouseDown = [this](TControl*, TMouseButton button, TShiftState, int, int) {
            if (button == mbLeft) DragWindow();
        };

    btnMin->OnClick = [this](TControl*) {
        if (Application()) Application()->Minimize();
    };
    for (TRdImageButton* b : {btnMin, btnClose}) b->OnMouseEnter = [this](TControl*) { DropPathFocus(); };
    btnClose->OnClick = [this](TControl*) { btnCloseClick(); };
    for (TRdImageButton* b : {lbl_AgreenInstall, btnOptionInstall, Rdbtn_ColorpgDone, btnProxy})
        b->OnClick = [this](TControl*) { lbl_AgreenInstallClick(); };
    lbl_Option->OnClick = [this](TControl*) { ShowOptionsPage(); };
    lbl_OptionpgBack->OnClick = [this](TControl*) { ShowMainPage(); };
    lbl_DownloadpgCancel->OnClick = [this](TControl*) { FFlow->CancelFromDownloadPage(); };
    InstallLicense->LinkItems()[0].OnClick = [this](TRdHtmLabelLink*) { OpenLink("/eula", true); };
    InstallLicense->LinkItems()[1].OnClick = [this](TRdHtmLabelLink*) { OpenLink("/privacy", false); };
    Cbx_Language->OnChange = [this](TControl*) { LanguageChanged(); };

    // Options page.
    edtPath->OnChange = [this](TControl*) { FOptions.PathChanged(); };
    edtPath->OnKeyPress = [](TControl*, char32_t& key) {
        if (!TInstallOptions::KeyAllowed(key)) key = 0;
    };
    btnBroswe->OnClick = [this](TControl*) { FOptions.BrowseClick(); };
    for (TRdImageButton* b : {cbxCreateIcon, cbxTaskbar}) b->OnClick = [this](TControl*) { DropPathFocus(); };

    // Theme page: the pictures, their hover frames and the check buttons.
    for (TRdImage* i : {Image_ColorpgWhite, Image_ColorpgWhiteHover}) i->OnClick = [this](TControl*) { SelectLight(); };
    for (TRdImage* i : {Image_ColorpgBlack, Image_ColorpgBlackHover}) i->OnClick = [this](TControl*) { SelectDark(); };
    cbxColorpg_Light->CheckBoxOnClick = [this](TControl*) { SelectLight(); };
    cbxColorpg_Dark->CheckBoxOnClick = [this](TControl*) { SelectDark(); };
    Image_ColorpgWhite->OnMouseEnter = [this](TControl*) {
        FTheme.lightHover = true;
        ShowThemeState();
    };
    Image_ColorpgWhiteHover->OnMouseLeave = [this](TControl*) {
        FTheme.lightHover = false;
        ShowThemeState();
    };
    Image_ColorpgBlack->OnMouseEnter = [this](TControl*) {
        FTheme.darkHover = true;
        ShowThemeState();
    };
    Image_ColorpgBlackHover->OnMouseLeave = [this](TControl*) {
        FTheme.darkHover = false;
        ShowThemeState();
    };

    // Finish page.
    btnFinished->OnClick = [this](TControl*) {
        LaunchBrowser = true;
        lbl_AgreenInstallClick();
    };
    Rdbtn_FinishpgClose->OnClick = [this](TControl*) {
        if (FBrowserStartRefused) {
            FinishAndExit();
            return;
        }
        SaveUserConfig();
        CreateInstallerShortcut();
        EndProcessNow();
    };
    Rdbtn_FinishpgFeedback->OnClick = [this](TControl*) {
        ShellExecuteRequest request;
        request.verb = "open";
        request.file = FDeployment.Host(TServerRole::Web) + "/support";
        StartAsUser(FEnv.os.shell, request);
    };
}

// --- The start-up sequence ---------------------------------------------------------------

void TfrmZYRDownloader::FormCreate() {
    // 1. The system: 64-bit Windows 7 or later. No language is loaded yet: English.
    if (!IsSystemSupported(FEnv.os)) {
        ShowSysNotice(*Application(), Format("%s Installer", kProductName),
                      Format("This operating system is not supported. %s can only be installed on 64-bit Windows "
                             "7 or higher.",
                             kProductName),
                      FNoticeEnvironment);
        EndProcessNow();
        return;
    }
    // 2.
    FPages.Apply(TPageEvent::Created);
    // "Testupdate.ini" beside the program (the user's Downloads folder, as a rule)
    // redirects the API only with the test hooks; one lying there unread is reported.
    if (!FTestHooks) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(Utf8Path(FApi.TestFileName()), ec))
            TraceLine(TestFileIgnoredTrace(kTestOverrideFile));
    }
    // 3-4. The TLS libraries are linked in; the base information is asked for once,
    // and nothing waits for it here: the window shows while the answer is on its way,
    // and only the browser's start link, at the very end, waits for it (StartBrowser).
    // Failures do not stop the start.
    try {
        ExtractTlsLibraries();
        FApi.StartBaseInfo("", 0);
    } catch (const std::exception&) {
    }
    // 5.
    FInstallPath.clear();
    FDownloadPath.clear();
    FExistingInstall = false;
    FLastMD5.clear();
    FCloseClicked = FClosing = LaunchBrowser = false;
    InstallSource.clear();
    for (TRdImage* image :
         {img_back, Image_ColorBg, Image_Optionbg, Image_FinishedBg, Image_ProcxyBg, Image_DownloadBg, img_Install_bg})
        image->Picture().Assign(SubBg->Picture().Graphic().get());
    // 6.
    BuildLanguageList();
    FLanguageName = GetLanguageName();
    FCurLanguageName = FLanguageName;
    TraceLine("********** FLanguageName: " + FLanguageName);
    LoadLanguage(FCurLanguageName);
    // 7.
    try {
        SelectStartLanguage();
    } catch (const std::exception&) {
    }
    // 8.
    TraceLine("FormCreate: 1");
    FDownloadPath = DownloadFolder();
    FOptions.DownloadPath = FDownloadPath;
    FFlow->DownloadPath = FDownloadPath;
    // 9.
    TraceLine("FormCreate: 2");
    FOptions.LoadUserConfig();
    WriteOptionControls();
    const InstallPathChoice choice = GetInstallPath(FEnv.os);
    FExistingInstall = FOptions.ExistingInstall = choice.existing;
    FInstallPath = FOptions.InstallPath = choice.path;
    edtPath->SetText(FInstallPath);
    if (FExistingInstall) {
        edtPath->SetEnabled(false);
        btnBroswe->SetEnabled(false);
        lbl_Option->SetVisible(false);
    }
    // 10.
    TraceLine("FormCreate: 3");
    if (!FDownloadPath.empty()) FLastMD5 = ReadDownloadConfigMD5(FDownloadPath + kSetupFileName + ".dat");
    WriteInstallerLog(FLastMD5, kInstallerLogName);
    TraceLine("FDownloadPath + MD5_INI_FILE_NAME: " + FDownloadPath + kMainDescriptorFile);
    // 11. The system drive needs 500 MiB.
    if (CheckDiskSpace(FEnv.os, DrivePart(GetSystemDir(FEnv.os)), kRequiredFreeBytes)) {
        ShowWarning("M_DiskIsFull",
                    "This partition doesn't have enough free space (500MB). Please choose another partition to "
                    "continue the installation.");
        Tray->SetEnabled(false);
        EndProcessNow();
        return;
    }
    // 12.
    bool sourceDropped = false;
    InstallSource = GetInsurParam(FEnv.platform.CommandLineParameters(), ReadProgramTail(FEnv.os.system.ProgramPath()),
                                  &sourceDropped, [this](const std::string& line) { TraceLine(line); });
    if (sourceDropped)
        TraceLine("/insur= dropped: the value is not 1 to 64 letters, digits, \"_\", \"-\" or \".\"");
    FFlow->Options.installSource = InstallSource;
    // 13. The region.
    TraceLine("FormCreate: 4");
    if (IsRegionRestricted(FEnv.os)) {
        ShowSysNotice(*Application(), Format(ReadFormText("ZYR_frmZYRDownloader", "lblCaption.Caption", "%s Installer"),
                                             kProductName),
                      Format(Msg("network_error_region_restriction",
                                 "This service is unavailable in your country due to policy reasons."),
                             kProductName),
                      FNoticeEnvironment);
        EndProcessNow();
    }
}

// The working folder "Qarto Private Browser\Downloader\" under the common
// application-data folder, moved to another fixed drive when that one has less
// than 120 MiB; ends the process when none has. Made safe (uMain_Folders.cpp): the
// folder returned may be a new one, or "" when none could be made safe.
std::string TfrmZYRDownloader::DownloadFolder() {
    TAppFrame frame(FEnv.os);
    std::string folder = WithTrailingBackslash(frame.CommonAppDataDir) + kProductName + "\\Downloader\\";
    if (CheckDiskSpace(FEnv.os, DrivePart(folder), kDownloadFolderFreeBytes)) {
        const std::string drive = DrivePart(folder) + "\\";
        const auto roots = FEnv.os.disks.DriveRoots();
        for (size_t i = 0; i < roots.size() && i < 66; ++i) {
            if (FEnv.os.disks.TypeOfDrive(roots[i]) != DriveType::Fixed) continue;
            if (CheckDiskSpace(FEnv.os, DrivePart(roots[i]), kDownloadFolderFreeBytes)) continue;
            folder = WithTrailingBackslash(roots[i]) + folder.substr(drive.size());
            break;
        }
    }
    if (CheckDiskSpace(FEnv.os, DrivePart(folder), kDownloadFolderFreeBytes)) {
        ShowWarning("M_DiskIsFull",
                    "This partition doesn't have enough free space (500MB). Please choose another partition to "
                    "continue the installation.");
        Tray->SetEnabled(false);
        EndProcessNow();
        return folder;
    }
    return MakeDownloadFolderSafe(folder, frame.CommonAppDataDir);
}

void TfrmZYRDownloader::FormShow() {
    if (FSkinLoaded) return;
    FSkinLoaded = true;
    LoadSkin();
    if (ThemePageRequested()) ShowThemePageForTest();
}

// Support staff and the end-to-end tests look at the theme page without a setup run:
// "/ThemePage" on the command line opens it at the first show. Honoured only where
// the deployment override key, which administrators alone can write, has
// "TestHooks" = "1", so an ordinary user's installer never skips its flow.
bool TfrmZYRDownloader::ThemePageRequested() const {
    bool switched = false;
    for (const std::string& p : FEnv.platform.CommandLineParameters()) {
        std::string lower = p;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        switched = switched || lower == "/themepage";
    }
    return switched && FTestHooks;
}

void TfrmZYRDownloader::FormResize() {
    if (!lbl_AgreenInstall || !PageNoteInstall) return;
    lbl_AgreenInstall->SetLeft(Width() / 2 - lbl_AgreenInstall->Width() / 2);
    PageNoteInstall->SetWidth(pnlCenter->Width() - 2);
}

// --- Pages -------------------------------------------------------------------------------

void TfrmZYRDownloader::ActivatePage(TInstallerPage page) {
    TPageTab* const tabs[] = {PageTab_Main, PageTab_InstallOption, PageTab_Color, PageTab_Download,
                              PageTab_Finished, PageTab_Install, PageTab_Proxy};
    PageNoteInstall->SetActivePage(tabs[static_cast<int>(page)]);
}

void TfrmZYRDownloader::PageChanged(TInstallerPage, TInstallerPage to) {
    ActivatePage(to);
    TraceLine(std::string("page: ") + PageName(to));
}

void TfrmZYRDownloader::ShowOptionsPage() {
    cbxTaskbar->SetVisible(true);
    lbl_AgreenInstall->SetEnabled(true);
    FPages.Apply(TPageEvent::Customize);
}

void TfrmZYRDownloader::ShowMainPage() {
    Cbx_Language->SetVisible(true);
    lbl_Back->SetVisible(false);
    FPages.Apply(TPageEvent::Back);
    SubBg->SetParent(PageTab_Main);
    SubBg->SendToBack();
}

void TfrmZYRDownloader::lbl_AgreenInstallClick() {
    switch (FPages.MainButtonAction()) {
        case TMainButtonAction::InstallFromMainPage:
            ReadOptionControls();
            FOptions.InstallFromMainPage();
            break;
        case TMainButtonAction::InstallFromOptions:
            btnOptionInstall->SetEnabled(false);
            ReadOptionControls();
            FOptions.InstallFromOptionsPage();
            break;
        case TMainButtonAction::SaveThemeAndFinish:
            SaveTheme();
            FPages.Apply(TPageEvent::ThemeDone);
            if (InstallFinished()) ShowSuccessPage(); else ShowFailurePage();
            if (!FReportSent) {
                FReportSent = true;
                SendUsageReport(FApi, FDeployment, GetCustomLanguage(), cbxColorpg_Light->Checked());
            }
            break;
        case TMainButtonAction::FinishAndExit: FinishAndExit(); break;
        case TMainButtonAction::None: break;
    }
}

void TfrmZYRDownloader::btnCloseClick() {
    FCloseClicked = true;
    switch (FPages.CloseAction()) {
        case TCloseButtonAction::CancelDownload: FFlow->CancelFromDownloadPage(); break;
        case TCloseButtonAction::MainButton: lbl_AgreenInstallClick(); break;
        case TCloseButtonAction::CloseWindow: Close(); break;
    }
}

bool TfrmZYRDownloader::CloseQuery() {
    if (!TCustomForm::CloseQuery()) return false;
    if (FPages.Active() == TInstallerPage::Finished) {
        FinishAndExit();
        return true;
    }
    if (FCloseClicked || FFlow->PackageRunning()) {
        ReadOptionControls();
        if (!FFlow->CloseQuery(FCloseClicked, FPages.Active() == TInstallerPage::Download)) {
            FCloseClicked = false;
            return false;
        }
        Hide();
        Tray->SetEnabled(false);
        return true;
    }
    FClosing = true;
    FFlow->Closing = true;
    return true;
}

TWindowHitArea TfrmZYRDownloader::WindowHitTest(int x, int y) const { return TCustomForm::WindowHitTest(x, y); }

void TfrmZYRDownloader::DragWindow() { FEnv.platform.StartWindowDrag(*this); }

void TfrmZYRDownloader::DropPathFocus() {
    if (ActiveControl() == edtPath) SetActiveControl(nullptr);
}

void TfrmZYRDownloader::BringInstallerToFront() {
    Tray->SetHideOnMinimize(false);
    if (Application() && Application()->Minimized()) Application()->Restore();
    FEnv.platform.ForceForeground(*this);
}

void TfrmZYRDownloader::PrepareInstallStart() {
    Cbx_Language->SetVisible(false);
    try {
        ApplyCustomTexts();
    } catch (const std::exception&) {
    }
    SaveUserConfig();
    if (Application()) Application()->ProcessMessages();
}

void TfrmZYRDownloader::OpenLink(const std::string& path, bool eula) {
    const std::string url = FDeployment.Host(TServerRole::Web) + path;
    if (eula) {
        OpenUrl(FEnv.os, url, 1, nullptr, "", "", "open");
        return;
    }
    // The privacy page: the shell, else Internet Explorer with the address; both with
    // the user's own rights.
    ShellExecuteRequest request;
    request.verb = "open";
    request.file = url;
    std::intptr_t result = 0;
    try {
        result = StartAsUser(FEnv.os.shell, request);
    } catch (const std::exception&) {
        result = 0;
    }
    if (result > 32) return;
    const std::string iexplore = InternetExplorerPath(FEnv.os);
    if (iexplore.empty()) return;
    ShellExecuteRequest ie;
    ie.verb = "open";
    ie.file = iexplore;
    ie.parameters = url;
    StartAsUser(FEnv.os.shell, ie);
}

std::string TfrmZYRDownloader::GetDesktopFolder() const {
    try {
        const std::string folder = GetUserFolder(FEnv.os, kUserFolderDesktop);
        return folder.empty() ? std::string() : WithTrailingBackslash(folder);
    } catch (const std::exception&) {
        return {};
    }
}
