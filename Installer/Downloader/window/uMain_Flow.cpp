// The installer window as the install flow sees it: the download page and its
// progress, the cancel question, the package run, the success and failure pages, and
// the end: FinishAndExit.
#include <chrono>
#include <exception>
#include <filesystem>
#include <thread>

#include "Installer/Downloader/flow/InstallSource.h"
#include "Installer/Downloader/flow/LanguageChoice.h"
#include "Installer/Downloader/flow/ProductNames.h"
#include "Installer/Downloader/flow/SetupProgress.h"
#include "Installer/Downloader/window/uMain.h"
#include "os/UserLaunch.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "services/VantorConfig.h"
#include "services/uCEFGetDefaultBrowser.h"

namespace {

const char* const kInstallerShortcut = "Qarto Private Browser Installer.lnk";
const char* const kEarlierInstallerShortcut = "Qarto VPN Browser Installer.lnk";
constexpr TColor kGrey = RGB(128, 128, 128);

bool FileExists(const std::string& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(Utf8Path(file), ec);
}

void DeleteFileIfPresent(const std::string& file) {
    std::error_code ec;
    std::filesystem::remove(Utf8Path(file), ec);
}

std::string Format(const std::string& text, const std::string& value) {
    std::string out = text;
    if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, value);
    return out;
}

}  // namespace

void TfrmZYRDownloader::ShowDownloadPage() {
    imgProgress->SetPosition(0);
    FPages.Apply(TPageEvent::InstallStarted);
    if (Application()) Application()->ProcessMessages();
}

void TfrmZYRDownloader::HideBackLink() { lbl_OptionpgBack->SetVisible(false); }

void TfrmZYRDownloader::ShowProgress(int position, int statusPercent) {
    imgProgress_DP->SetPosition(position);
    lblDownloadpgInstalling->SetCaption(Msg("M_DownloadpgInstall", "Installing") + ": " +
                                        std::to_string(statusPercent) + "%");
}

void TfrmZYRDownloader::HideInitializing() {
    Label_Initializing_DP->SetVisible(false);
    lblDownloadpgInstalling->SetVisible(true);
}

void TfrmZYRDownloader::LockForPackageRun() {
    HideInitializing();
    lbl_DownloadpgCancel->Font().SetColor(kGrey);
    lbl_DownloadpgCancel->OnClick = nullptr;
    lbl_DownloadpgCancel->OnMouseEnter = nullptr;
    lbl_DownloadpgCancel->OnMouseLeave = nullptr;
    lbl_DownloadpgCancel->SetCursor(crDefault);
    lbl_DownloadpgCancel->SetEnabled(false);
    btnClose->SetEnabled(false);
}

// The unverified package's run: the bottom bar, not the download page's, ends full
// (and the taskbar button shows it, as it shows every bar).
void TfrmZYRDownloader::BottomBarToMaximum() { imgProgress->SetPosition(imgProgress->Max()); }

void TfrmZYRDownloader::MinimiseToTray() {
    Tray->SetHideOnMinimize(true);
    if (Application()) Application()->Minimize();
}

bool TfrmZYRDownloader::AskCancel() {
    BringInstallerToFront();
    FNoticeEnvironment.CloseHint = btnClose->Hint();
    return ShowNotice(*Application(), this, TNoticeIcon::Question,
                      Format(Msg("M_AreSure", "Are you sure to cancel the installation of %s?"), kProductName),
                      TNoticeMode::YesNo, FNoticeEnvironment);
}

bool TfrmZYRDownloader::CancelQuestionOpen() const { return NoticeShowing(); }

void TfrmZYRDownloader::CreateInstallerShortcut() {
    FEnv.platform.CreateShortcut(GetDesktopFolder() + kInstallerShortcut, FEnv.os.system.ProgramPath());
}

void TfrmZYRDownloader::EndProcess() {
    Tray->SetEnabled(false);
    EndProcessNow();
}

bool TfrmZYRDownloader::InstallFinished() {
    const auto value = FEnv.platform.ReadUserDword("Software\\Qarto Private Browser", "InstallFinished");
    return value && *value == 1;
}

std::unique_ptr<TLockedPackage> TfrmZYRDownloader::HoldPackage(const std::string& file) {
    return FEnv.platform.HoldPackage(file);
}

std::unique_ptr<TRunningProcess> TfrmZYRDownloader::StartPackage(const std::string& program,
                                                                 const std::string& parameters) {
    TraceLine("package: " + program + " " + parameters);
    return FEnv.platform.StartPackage(program, parameters);
}

void TfrmZYRDownloader::Trace(const std::string& text) { TraceLine(text); }

void TfrmZYRDownloader::ShowFailurePage() {
    BringInstallerToFront();
    FFailurePage = true;
    if (FPages.Active() == TInstallerPage::Download) FPages.Apply(TPageEvent::SetupEndedThemeSet);
    lbl_FinishpgTitle->SetCaption(Msg("M_FinishpgFailTitle", "Installation Failed!"));
    lbl_FinishpgDes->SetCaption(Msg("M_FinishpgFailDes", "Please try again later,or contact our technical support."));
    Rdbtn_FinishpgFeedback->SetCaption(Msg("M_FinishpgFailFeedback", "Send feedback"));
    Rdbtn_FinishpgClose->SetCaption(btnClose->Hint());
    FPictures.Load("finish_failure.png", Img_FinishpgLogo2->Picture());
    btnFinished->SetVisible(false);
    Rdbtn_FinishpgSetDefault->SetVisible(false);
    Rdbtn_FinishpgClose->SetVisible(true);
    Rdbtn_FinishpgFeedback->SetVisible(true);
    CentreHorizontally(Rdbtn_FinishpgFeedback);
    btnClose->SetEnabled(true);
    OutcomePageShown();
}

void TfrmZYRDownloader::ShowSuccessPage() {
    BringInstallerToFront();
    FFailurePage = false;
    if (FPages.Active() == TInstallerPage::Download) FPages.Apply(TPageEvent::SetupEndedThemeSet);
    const bool alreadyDefault =
        GetDefaultBrowserKind(FEnv.os, TBrowserKind::bkOther, kBrowserExeName) == TBrowserKind::bkOwn;
    Rdbtn_FinishpgSetDefault->SetVisible(!alreadyDefault);
    Rdbtn_FinishpgSetDefault->SetChecked(true);
    const std::string run = Msg("M_FinishpgSuccRun", "Run Now");
    lbl_FinishpgTitle->SetCaption(Msg("M_FinishpgSuccTitle", "Installation Completed!"));
    lbl_FinishpgDes->SetCaption(Format(Msg("M_FinishpgSuccDes", "Click %s to enjoy yourself."), "\"" + run + "\""));
    Rdbtn_FinishpgSetDefault->SetCaption(
        Format(Msg("M_FinishpgSuccSetDefault", "Make %s as your default browser"), kProductName));
    Rdbtn_FinishpgSetDefault->SetWidth(TextWidth(Rdbtn_FinishpgSetDefault, Rdbtn_FinishpgSetDefault->Caption()) + 28);
    btnFinished->SetCaption(run);
    FPictures.Load("finish_success.png", Img_FinishpgLogo2->Picture());
    btnFinished->SetVisible(true);
    Rdbtn_FinishpgClose->SetVisible(false);
    Rdbtn_FinishpgFeedback->SetVisible(false);
    btnClose->SetEnabled(true);
    OutcomePageShown();
}

void TfrmZYRDownloader::OutcomePageShown() {
    // What the page offers, for support and the end-to-end tests.
    TraceLine(std::string("outcome page: ") +
              (FFailurePage ? "failure"
                            : std::string("success, make-default box ") +
                                  (Rdbtn_FinishpgSetDefault->Visible() ? "shown" : "absent")));
}

std::string TfrmZYRDownloader::GetCustomLanguage() const {
    try {
        const std::string file = FProbe.GetBrowserInstallDir() + "Lang.dat";
        if (!FileExists(file)) return {};
        TSafeIniFile ini;
        ini.LoadFromFile(file);
        return ini.ReadString("CusLan", "Name", "");
    } catch (const std::exception&) {
        return {};
    }
}

void TfrmZYRDownloader::SaveLanguageToConfig() {
    FCurLanguageName = LongLanguageName(FCurLanguageName);
    TVantorConfig config(BrowserUserDataDir() + "config.kvdt", FEnv.clock);
    config.WriteString("Main", "Language", FCurLanguageName);
}

void TfrmZYRDownloader::MarkSetDefaultBrowser() {
    TVantorConfig config(BrowserUserDataDir() + "config.kvdt", FEnv.clock);
    config.WriteString("Installer", "SetDefaultBrowser", "1");
}

// The last pause: the usage report may still be on its way. Nothing sets the flag
// before it, so it lasts about four seconds; the loop keeps running meanwhile.
void TfrmZYRDownloader::WaitForPostFinished() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(4000);
    EventLoop& loop = FEnv.curl.Loop();
    while (std::chrono::steady_clock::now() < until) {
        loop.RunOnce(std::chrono::milliseconds(100));
    }
}

void TfrmZYRDownloader::FinishAndExit() {
    const std::string desktop = GetDesktopFolder();
    const bool outcomeOnly = FFailurePage || (Rdbtn_FinishpgClose->Visible() && !FBrowserStartRefused);
    if (outcomeOnly || !LaunchBrowser) {
        Hide();
        Tray->SetEnabled(false);
    }
    if (!desktop.empty()) DeleteFileIfPresent(desktop + kEarlierInstallerShortcut);
    if (outcomeOnly) {
        SaveUserConfig();
        CreateInstallerShortcut();
        EndProcessNow();
        return;
    }
    if (!desktop.empty()) DeleteFileIfPresent(desktop + kInstallerShortcut);
    if (FileExists(FInstallPath + kBrowserExeName)) {
        try {
            SaveLanguageToConfig();
        } catch (const std::exception&) {
        }
        // The browser and its companion run with the user's own rights, never with the
        // installer's (StartAsUser).
        if (Rdbtn_FinishpgSetDefault->Visible() && Rdbtn_FinishpgSetDefault->Checked()) {
            ShellExecuteRequest request;
            request.verb = "Open";
            request.file = FInstallPath + "zyRInit.exe";
            request.parameters = DefaultBrowserParameters(FInstallPath);
            request.folder = FInstallPath;
            request.showMode = 5;
            if (StartAsUser(FEnv.os.shell, request) <= 32)
                TraceLine("zyRInit.exe not started: it cannot be started with the user's rights");
            try {
                MarkSetDefaultBrowser();
            } catch (const std::exception&) {
            }
        }
        if (LaunchBrowser && !StartBrowser()) {
            ShowBrowserStartRefused();
            return;
        }
    }
    try {
        SaveUserConfig();
        Tray->SetEnabled(false);
        Hide();
        WaitForPostFinished();
    } catch (const std::exception&) {
    }
    EndProcessNow();
}

bool TfrmZYRDownloader::StartBrowser() {
    // The base information was asked for at the start; an answer still on its way is
    // waited for here, within the request's own time-out.
    if (FApi.BaseInfoPending()) {
        TraceLine("waiting for the base information");
        FApi.WaitForBaseInfo();
    }
    const std::string& dumpUrl = FApi.BaseInfo().PcDumpUrl;
    if (!dumpUrl.empty() && !TrustedServerUrl(dumpUrl, FDeployment))
        TraceLine("pc_dump_url refused: not an https address of the deployment's servers");
    const std::string link = BrowserStartLink(
        AppGotoLink(FApi.BaseInfo().PcDumpUrl, FDeployment.Host(TServerRole::Redirect) + "/appgoto?name=zyr",
                    FDeployment),
        FProbe.GetInstalledBrowserVersion(FInstallPath), GetCustomLanguage());
    const auto status = FEnv.platform.ReadUserDword("SOFTWARE\\Qarto Private Browser", "Status");
    ShellExecuteRequest request;
    request.verb = "Open";
    request.file = FInstallPath + kBrowserExeName;
    request.parameters = BrowserStartParameters(status ? static_cast<int>(*status) : 1, link);
    request.folder = FInstallPath;
    request.showMode = 5;
    if (StartAsUser(FEnv.os.shell, request) > 32) {
        TraceLine(LauncherFor(FEnv.os.shell.Elevation()) == UserLauncher::DesktopShell
                      ? "browser started through the desktop shell"
                      : "browser started directly: this token has no rights to drop");
        return true;
    }
    TraceLine("browser not started: it cannot be started with the user's rights");
    return false;
}

// The installer runs as administrator and the desktop shell could not start the
// browser with the user's rights: rather than start it elevated, the success page
// stays and says how to start it; its Close button then ends the installer.
void TfrmZYRDownloader::ShowBrowserStartRefused() {
    FBrowserStartRefused = true;
    LaunchBrowser = false;
    lbl_FinishpgDes->SetCaption(Format(
        Msg("M_FinishpgStartYourself", "Start %s from its icon on the desktop or in the Start menu."), kProductName));
    Rdbtn_FinishpgSetDefault->SetVisible(false);
    btnFinished->SetVisible(false);
    Rdbtn_FinishpgClose->SetCaption(btnClose->Hint());
    Rdbtn_FinishpgClose->SetVisible(true);
    CentreHorizontally(Rdbtn_FinishpgClose);
    TraceLine("outcome page: success, browser to be started by the user");
}
