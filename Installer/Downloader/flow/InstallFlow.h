#pragma once
// Everything after the user presses Install, up to the outcome page: the two
// descriptor downloads and their race, the package download with its progress, the
// silent run of the package with the creeping bar, the outcome decision, and the
// cancel paths with what they leave on disk. Portable: downloads go through
// TDownloader on the event loop; the window implements TInstallFlowView.
//
// UI thread only. The flow never frees a downloader from inside its own events.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Installer/Downloader/download/DescriptorRace.h"
#include "Installer/Downloader/download/uDownloader.h"
#include "Installer/Downloader/package/LockedPackage.h"
#include "Installer/Downloader/package/PackageSigners.h"
#include "Installer/Downloader/package/RunningProcess.h"
#include "Installer/Downloader/package/SetupPackage.h"
#include "Installer/Downloader/package/TrustedRoots.h"
#include "net/EventLoop.h"
#include "os/InternetSettings.h"
#include "services/Deployment.h"

class TInstallFlowView {
public:
    virtual ~TInstallFlowView() = default;
    // The window's part of the install start: selector hidden, texts re-applied,
    // user configuration saved, pending messages run once.
    virtual void PrepareInstallStart() = 0;
    // The download page shown, the bottom bar at 0, pending messages run once.
    virtual void ShowDownloadPage() = 0;
    virtual void HideBackLink() = 0;
    // The download page's bar (0..10,000) and status line ("Installing: N%"), mirrored
    // on the taskbar button.
    virtual void ShowProgress(int position, int statusPercent) = 0;
    virtual void HideInitializing() = 0;
    // Cancel greyed out, close button disabled, the install label instead of the
    // download label.
    virtual void LockForPackageRun() = 0;
    // The window's bottom bar at its maximum (unverified packages).
    virtual void BottomBarToMaximum() = 0;
    // The window out of the way, in the notification area (a close while the package
    // runs, which nothing can cancel).
    virtual void MinimiseToTray() = 0;
    // The cancel question ("M_AreSure"); true means cancel. Runs a modal loop, so
    // download events arrive meanwhile.
    virtual bool AskCancel() = 0;
    virtual bool CancelQuestionOpen() const = 0;
    virtual void BringInstallerToFront() = 0;
    virtual void SaveUserConfig() = 0;
    virtual void CreateInstallerShortcut() = 0;
    // Ends the process with exit code 0 (does not return in the product).
    virtual void EndProcess() = 0;
    // Outcome.
    virtual bool IsThemeChosen() = 0;
    virtual void ShowThemePage() = 0;
    virtual void ShowSuccessPage() = 0;
    virtual void ShowFailurePage() = 0;
    virtual bool InstallFinished() = 0;
    // The package held against changes from its last check until its start
    // (TInstallerPlatform::HoldPackage); nullptr when it cannot be held.
    virtual std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) = 0;
    // The package started through the shell; nullptr when it could not start.
    virtual std::unique_ptr<TRunningProcess> StartPackage(const std::string& program,
                                                          const std::string& parameters) = 0;
    // The download folder made so that only administrators and the system can write
    // into it (nobody swaps the package between its check and its run).
    virtual void SecureDownloadFolder(const std::string& folder) = 0;
    // Debugger output.
    virtual void Trace(const std::string& text) = 0;
};

struct TFlowAddresses {
    std::string mainDescriptor;      // <update server>/dl/zyr/installer/dl-infonew.upt
    std::string regionalDescriptor;  // <regional server>/dl/zyr/installer/dl-infoar.upt
    std::string setupFallback;       // <download server>/dl/qarto-private-browser-setup.exe
};

class TInstallFlow {
public:
    // `disks` (the download folder's free space) is kept by reference.
    TInstallFlow(EventLoop& loop, const InternetSettings& internet, const Disks& disks, TInstallFlowView& view,
                 TFlowAddresses addresses);
    ~TInstallFlow();
    TInstallFlow(const TInstallFlow&) = delete;
    TInstallFlow& operator=(const TInstallFlow&) = delete;

    // Window state the flow reads (set by the window before StartInstall).
    std::string DownloadPath;  // with a trailing separator
    std::string InstallPath;   // with a trailing separator
    TSetupOptions Options;     // installPath is taken from InstallPath when the package runs
    // Set when the user confirmed closing: ends the package wait.
    bool Closing = false;
    // The administrator's consent to the test hooks (services/TestHooks.h), set by the
    // window: only then does "test.ini" in the download folder redirect the
    // descriptors and the package. Without it a present file is left unread and the
    // trace says so once.
    bool TestHooks = false;
    // A release build takes the package only from an https address a descriptor names
    // (else the built-in address).
    TSchemePolicy SchemePolicy = BuildSchemePolicy();
    // The package's publisher: SHA-256 fingerprints (lowercase hex) of the certificates
    // whose Authenticode signature lets it run (PackageSignature.h), checked through the
    // held handle after the MD5. Empty (a developer build) leaves the MD5 alone to decide.
    std::vector<std::string> PackageSigners = BuiltInPackageSigners();
    // The authorities that signature must chain to; tests give their own.
    std::function<TTrustedRoots()> PackageRoots = SystemTrustedRoots;
    // Tests: extra certificate authorities, shorter time-outs, no animation sleeps.
    std::string TlsCaFile;
    int DownloadTimeOut = 30;
    int AnimationSleepMs = 3;
    int WaitSleepMs = 10;

    void StartInstall();
    // "Cancel" on the download page (and the close button there).
    void CancelFromDownloadPage();
    // The close question of a window close: true when the window may close. `onFinishPage`
    // and `onDownloadPage` describe the active page.
    bool CloseQuery(bool closeClicked, bool onDownloadPage);

    // State for the window and tests.
    int DescriptorState() const { return FRace.DescriptorState(); }
    TDescriptorSource PendingDescriptor() const { return FRace.PendingDescriptor(); }
    TDownloader* SetupDownloader() const { return FSetup.get(); }
    bool DescriptorPhase() const { return !FSetup; }
    const std::string& DescriptorMD5() const { return FDescriptorMD5; }
    const std::string& SetupUrl() const { return FSetupUrl; }
    const std::string& LastMD5() const { return FLastMD5; }
    int BarPosition() const { return FBarPosition; }
    bool PackageRunning() const { return FPackageRunning; }
    // The download has ended and its outcome (run or failure page) is still to come.
    bool PackageStartPending() const { return FSetupDecision.has_value(); }
    // The parameters the package was run with ("" before).
    const std::string& PackageParameters() const { return FPackageParameters; }
    // After the package: whether the theme check applies (verified download).
    bool ThemeCheck() const { return FThemeCheck; }

    // Called when the outcome is known (the page is shown by then); tests wait for it.
    std::function<void()> OnOutcome;

private:
    void StartDownload();
    TDescriptorOverrides Overrides();
    std::unique_ptr<TDownloader> MakeDescriptorDownloader(TDescriptorSource which);
    void DescriptorDownloaded(TDescriptorSource which, bool success, int code);
    void UseDescriptor(TDescriptorSource which);
    void SetupProgress(double percent);
    void SetupDownloaded(bool success, int code, const std::string& fileName);
    // Runs the package or shows the failure page as decided at the download's end,
    // unless the cancel question is open (it waits for the answer) or the user
    // cancelled (nothing runs).
    void ActOnSetupDecision();
    void RunPackage(bool verified);
    void AnimateProgressTo(int target);
    void InstallTimerTick();
    void WaitForPackage(TRunningProcess* process);
    void Outcome(bool themeCheck);
    void Cancel();
    void RetireDescriptorDownloader(std::unique_ptr<TDownloader> d);

    EventLoop& FLoop;
    const InternetSettings& FInternet;
    const Disks& FDisks;
    TInstallFlowView& FView;
    TFlowAddresses FAddresses;
    TDescriptorRace FRace;
    std::unique_ptr<TDownloader> FMain, FRegional, FSetup;
    std::string FLastMD5, FDescriptorMD5, FSetupUrl, FPackageParameters;
    int FBarPosition = 0;
    bool FPackageRunning = false;
    // Decided when the package download ended, acted on at the next turn of the loop.
    std::optional<TSetupDecision> FSetupDecision;
    bool FCancelled = false;
    bool FThemeCheck = false;
    bool FOverridesIgnoredTraced = false;
    EventLoop::TimerId FInstallTimer = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
