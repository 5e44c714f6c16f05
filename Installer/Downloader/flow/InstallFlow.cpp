#include "Installer/Downloader/flow/InstallFlow.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "Installer/Downloader/flow/SetupProgress.h"
#include "Installer/Downloader/package/PackageSignature.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCase.h"
#include "services/TestHooks.h"

namespace {

constexpr int kDownloadBarWidth = 420;  // imgProgress_DP

void CreateFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(Utf8Path(folder), ec);
}

bool FileExists(const std::string& file) {
    std::error_code ec;
    return std::filesystem::is_regular_file(Utf8Path(file), ec);
}

std::int64_t FileSize(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(Utf8Path(file), ec);
    return ec ? 0 : static_cast<std::int64_t>(size);
}

const char* FileOf(TDescriptorSource which) {
    return which == TDescriptorSource::Regional ? kRegionalDescriptorFile : kMainDescriptorFile;
}

}  // namespace

TInstallFlow::TInstallFlow(EventLoop& loop, const InternetSettings& internet, const Disks& disks,
                           TInstallFlowView& view, TFlowAddresses addresses)
    : FLoop(loop), FInternet(internet), FDisks(disks), FView(view), FAddresses(std::move(addresses)) {}

TInstallFlow::~TInstallFlow() {
    *FAlive = false;
    if (FInstallTimer) FLoop.StopTimer(FInstallTimer);
    for (auto* d : {FMain.get(), FRegional.get(), FSetup.get()})
        if (d) {
            d->OnProgress = nullptr;
            d->OnFinished = nullptr;
        }
}

void TInstallFlow::StartInstall() {
    FView.PrepareInstallStart();
    StartDownload();
    FView.HideBackLink();
}

std::unique_ptr<TDownloader> TInstallFlow::MakeDescriptorDownloader(TDescriptorSource which) {
    auto d = std::make_unique<TDownloader>(FLoop, FInternet, FDisks);
    d->PartCount = 2;
    d->SetNoSaveState(true);
    d->MaxLength = kMaxDescriptorBytes;
    d->TlsCaFile = TlsCaFile;
    d->TimeOut = DownloadTimeOut;
    d->OnFinished = [this, which](bool success, int code, const std::string&, const std::string&) {
        DescriptorDownloaded(which, success, code);
    };
    return d;
}

TDescriptorOverrides TInstallFlow::Overrides() {
    if (TestHooks) return ReadOverrides(DownloadPath);
    if (!FOverridesIgnoredTraced && FileExists(DownloadPath + kOverrideFileName)) {
        FOverridesIgnoredTraced = true;
        FView.Trace(TestFileIgnoredTrace(kOverrideFileName));
    }
    return {};
}

void TInstallFlow::StartDownload() {
    CreateFolder(InstallPath);
    FBarPosition = 0;
    FView.ShowDownloadPage();
    FRace.Reset();

    if (!FMain) FMain = MakeDescriptorDownloader(TDescriptorSource::Main);
    FLastMD5 = ReadDownloadConfigMD5(DownloadPath + kSetupFileName + ".dat");
    std::error_code ec;
    std::filesystem::remove(Utf8Path(DownloadPath + kMainDescriptorFile), ec);
    CreateFolder(DownloadPath);
    FView.SecureDownloadFolder(DownloadPath);
    const TDescriptorOverrides overrides = Overrides();
    const std::string& mainUrl = overrides.descriptorUrl.empty() ? FAddresses.mainDescriptor : overrides.descriptorUrl;
    FMain->Start(DownloadPath + kMainDescriptorFile, mainUrl);

    if (!FRegional) FRegional = MakeDescriptorDownloader(TDescriptorSource::Regional);
    std::filesystem::remove(Utf8Path(DownloadPath + kRegionalDescriptorFile), ec);
    const std::string& regionalUrl =
        overrides.descriptorUrl.empty() ? FAddresses.regionalDescriptor : overrides.descriptorUrl;
    FRegional->Start(DownloadPath + kRegionalDescriptorFile, regionalUrl);
}

void TInstallFlow::DescriptorDownloaded(TDescriptorSource which, bool success, int code) {
    FView.Trace(std::string("descriptor ") + (which == TDescriptorSource::Main ? "main" : "regional") +
                " ended: success=" + (success ? "1" : "0") + " code=" + std::to_string(code));
    switch (FRace.Finished(which, success, code, FView.CancelQuestionOpen())) {
        case TDescriptorRace::TAction::Use: UseDescriptor(which); break;
        case TDescriptorRace::TAction::Hold: FView.Trace("descriptor decision held while the question is open"); break;
        case TDescriptorRace::TAction::Ignore: break;
    }
}

void TInstallFlow::RetireDescriptorDownloader(std::unique_ptr<TDownloader> d) {
    if (!d) return;
    d->OnProgress = nullptr;
    d->OnFinished = nullptr;
    // Possibly inside its own event: freed on a later turn of the loop.
    std::shared_ptr<TDownloader> later(d.release());
    FLoop.Post([later] {});
}

void TInstallFlow::UseDescriptor(TDescriptorSource which) {
    // Decided by a failure (both ended without success): whatever the last one left
    // may have stopped halfway through a line (an address cut short, no MD5), so it is
    // not read and the built-in package address is used.
    const bool complete = FRace.DescriptorState() == -1;
    const TDescriptor descriptor = complete ? ReadDescriptor(DownloadPath + FileOf(which)) : TDescriptor{};
    FDescriptorMD5 = descriptor.md5;
    FSetupUrl = descriptor.url;
    if (!FSetupUrl.empty() && !PackageUrlAllowed(FSetupUrl, SchemePolicy)) {
        FView.Trace("descriptor's package address refused: not https: " + FSetupUrl);
        FSetupUrl.clear();
    }

    const std::string setupFile = DownloadPath + kSetupFileName;
    if (OldSetupMustGo(FLastMD5, FDescriptorMD5, FileExists(setupFile))) {
        std::error_code ec;
        std::filesystem::remove(Utf8Path(setupFile), ec);
        FView.Trace("an older package was deleted: " + setupFile);
    }

    if (!FSetup) {
        FSetup = std::make_unique<TDownloader>(FLoop, FInternet, FDisks);
        FSetup->TlsCaFile = TlsCaFile;
        FSetup->TimeOut = DownloadTimeOut;
    }
    FSetup->CheckMD5 = true;
    FSetup->ExpectedMD5 = FDescriptorMD5;

    std::unique_ptr<TDownloader>& chosen = which == TDescriptorSource::Regional ? FRegional : FMain;
    if (chosen) {
        FSetup->ProxyType = chosen->ProxyType;
        FSetup->ProxyHost = chosen->ProxyHost;
        FSetup->ProxyPort = chosen->ProxyPort;
        FSetup->ProxyUsername = chosen->ProxyUsername;
        FSetup->ProxyPassword = chosen->ProxyPassword;
        RetireDescriptorDownloader(std::move(chosen));
    }

    FSetup->OnProgress = [this](const std::string&, std::int64_t, double percent, double, double) {
        SetupProgress(percent);
    };
    FSetup->OnFinished = [this](bool success, int code, const std::string& fileName, const std::string&) {
        SetupDownloaded(success, code, fileName);
    };
    CreateFolder(DownloadPath);

    const TDescriptorOverrides overrides = Overrides();
    if (overrides.setupUrl.empty()) {
        if (FSetupUrl.empty()) FSetupUrl = FAddresses.setupFallback;
        FSetup->Start(setupFile, FSetupUrl);
    } else {
        if (!overrides.setupMd5.empty()) FSetup->ExpectedMD5 = overrides.setupMd5;
        FSetup->Start(setupFile, overrides.setupUrl);
    }
}

void TInstallFlow::SetupProgress(double percent) {
    FView.HideInitializing();
    FBarPosition = DownloadBarPosition(percent);
    FView.ShowProgress(FBarPosition, DownloadStatusPercent(percent));
}

void TInstallFlow::SetupDownloaded(bool success, int code, const std::string& fileName) {
    const std::string setupFile = DownloadPath + kSetupFileName;
    TSetupDownloadResult r;
    r.success = success;
    r.code = code;
    r.isTheSetupFile = FSetup && SameTextNoCase(fileName, setupFile);
    r.expectedMd5Known = FSetup && !FSetup->ExpectedMD5.empty();
    r.md5Matches = r.expectedMd5Known && SameTextNoCase(FSetup->FileDigest, FSetup->ExpectedMD5);
    r.fileSize = FileSize(setupFile);
    r.serverLength = LastContentLength();
    r.executableKind = ExecutableKind(setupFile);
    const TSetupDecision decision = DecideSetupDownload(r);
    FView.Trace("package download ended: success=" + std::string(success ? "1" : "0") + " code=" +
                std::to_string(code) + " size=" + std::to_string(r.fileSize) + " server=" +
                std::to_string(r.serverLength) + " kind=" + std::to_string(r.executableKind) +
                " file=" + (r.isTheSetupFile ? "setup" : fileName));
    // The run and its wait happen on a later turn, outside the downloader's event.
    // Until then a Cancel click may still open the question: the decision waits for
    // its answer (ActOnSetupDecision).
    FSetupDecision = decision;
    std::weak_ptr<bool> alive = FAlive;
    FLoop.Post([this, alive] {
        if (alive.expired()) return;
        ActOnSetupDecision();
    });
}

void TInstallFlow::ActOnSetupDecision() {
    if (!FSetupDecision || FCancelled) return;
    // Never inside the cancel question's loop: its answer decides first.
    if (FView.CancelQuestionOpen()) {
        FView.Trace("package start held while the question is open");
        return;
    }
    const TSetupDecision decision = *FSetupDecision;
    FSetupDecision.reset();
    switch (decision) {
        case TSetupDecision::RunVerified: RunPackage(true); break;
        case TSetupDecision::RunUnverified: RunPackage(false); break;
        case TSetupDecision::Failure:
            FView.BringInstallerToFront();
            FView.ShowFailurePage();
            if (OnOutcome) OnOutcome();
            break;
    }
}

void TInstallFlow::AnimateProgressTo(int target) {
    const AnimationSteps a = AnimateSteps(FBarPosition, target, kDownloadBarWidth);
    for (int i = 0; i < a.steps; ++i) {
        FBarPosition += a.step;
        FView.ShowProgress(FBarPosition, PositionPercent(FBarPosition));
        FLoop.ProcessMessages();
        if (AnimationSleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(AnimationSleepMs));
    }
}

void TInstallFlow::InstallTimerTick() {
    const int next = SetupTimerInterval(FBarPosition);
    FBarPosition += kSetupTickStep;
    FView.ShowProgress(FBarPosition, PositionPercent(FBarPosition));
    FInstallTimer = FLoop.StartTimer(std::chrono::milliseconds(next), false, [this] { InstallTimerTick(); });
}

void TInstallFlow::RunPackage(bool verified) {
    // From here to its start the package is held, and its MD5 is taken again through
    // the held handle, then its signature checked when a publisher is pinned: the file
    // that runs is the one checked, whatever happened to the path since the download's
    // own check.
    const std::string package = DownloadPath + kSetupFileName;
    std::unique_ptr<TLockedPackage> held = FView.HoldPackage(package);
    const std::string expected = FSetup ? FSetup->ExpectedMD5 : std::string();
    std::string refusal;
    if (!held) {
        refusal = "it cannot be held against changes";
    } else if (!expected.empty()) {
        const std::string actual = held->Md5Hex();
        if (!SameTextNoCase(actual, expected)) refusal = "its MD5 is now " + actual + ", expected " + expected;
    }
    if (refusal.empty() && !PackageSigners.empty()) {
        const TTrustedRoots roots = PackageRoots ? PackageRoots() : nullptr;
        const TSignatureCheck signature = CheckPackageSignature(*held, roots.get(), PackageSigners);
        if (!signature.accepted) refusal = "its signature is refused: " + signature.reason;
    }
    if (!refusal.empty()) {
        FView.Trace("package not started: " + refusal + ": " + package);
        FView.BringInstallerToFront();
        FView.ShowFailurePage();
        if (OnOutcome) OnOutcome();
        return;
    }

    FPackageRunning = true;
    FLoop.ProcessMessages();
    AnimateProgressTo(kDownloadEndPosition);
    FInstallTimer = FLoop.StartTimer(std::chrono::milliseconds(100), false, [this] { InstallTimerTick(); });

    TSetupOptions options = Options;
    options.installPath = InstallPath;
    FPackageParameters = SetupParameters(options);
    if (FSetup) {
        FSetup->OnProgress = nullptr;
        FSetup->OnFinished = nullptr;
    }
    FView.LockForPackageRun();
    std::unique_ptr<TRunningProcess> process = FView.StartPackage(package, FPackageParameters);
    held.reset();  // the process exists (or never will): the file may be released
    WaitForPackage(process.get());

    if (FInstallTimer) {
        FLoop.StopTimer(FInstallTimer);
        FInstallTimer = 0;
    }
    if (verified) {
        AnimateProgressTo(kProgressMaximum);
        FBarPosition = kProgressMaximum;
        FView.ShowProgress(FBarPosition, 100);
        FLoop.ProcessMessages();
    } else {
        FView.BottomBarToMaximum();
    }
    FPackageRunning = false;
    Outcome(verified);
}

void TInstallFlow::WaitForPackage(TRunningProcess* process) {
    const auto pause = std::chrono::milliseconds(WaitSleepMs);
    while (process && process->Running()) {
        if (Closing) {
            FView.Trace("SynWaitForProcessEndShellExecute user Cancel");
            return;
        }
        FLoop.RunOnce(pause);
    }
    FView.Trace("IsProcessRunning End...");
}

void TInstallFlow::Outcome(bool themeCheck) {
    FThemeCheck = themeCheck;
    if (themeCheck && !FView.IsThemeChosen()) {
        FView.ShowThemePage();
    } else if (FView.InstallFinished()) {
        FView.ShowSuccessPage();
    } else {
        FView.ShowFailurePage();
    }
    if (OnOutcome) OnOutcome();
}

void TInstallFlow::Cancel() {
    // Whatever was decided about the package, it is not run now.
    FCancelled = true;
    FSetupDecision.reset();
    // The paused parts save their counts as they wind down on later turns of the
    // loop; the process ends now, so the state file is written here, whole.
    if (FSetup) FSetup->Stop();
    FView.SaveUserConfig();
    FView.CreateInstallerShortcut();
    FView.EndProcess();
}

void TInstallFlow::CancelFromDownloadPage() {
    if (FPackageRunning) return;  // nothing can be cancelled while the package runs
    if (FSetupDecision) {
        // The download has ended and its package is about to start: "Yes" means it
        // never does; "No" lets it start once the question is gone.
        if (FView.AskCancel()) return Cancel();
        ActOnSetupDecision();
        return;
    }
    if (!FSetup) {
        if (FView.AskCancel()) return Cancel();
        const TDescriptorSource pending = FRace.TakePending();
        if (pending != TDescriptorSource::None) UseDescriptor(pending);
        return;
    }
    FSetup->Pause();
    if (FView.AskCancel()) return Cancel();
    FSetup->Resume();
}

bool TInstallFlow::CloseQuery(bool closeClicked, bool onDownloadPage) {
    // The package runs and nothing can cancel it: closing now would lose its outcome
    // (a close from the system, Alt+F4 or the taskbar, reaches here), so the installer
    // goes to the notification area and keeps waiting.
    if (FPackageRunning) {
        FView.MinimiseToTray();
        return false;
    }
    if (!closeClicked) {
        Closing = true;
        return true;
    }
    FView.BringInstallerToFront();
    if (!FView.AskCancel()) {
        // A package start that came up while the question was open goes ahead now.
        if (FSetupDecision) ActOnSetupDecision();
        return false;
    }
    FCancelled = true;
    FSetupDecision.reset();
    if (onDownloadPage && FSetup) FSetup->Stop();
    FView.SaveUserConfig();
    FView.CreateInstallerShortcut();
    Closing = true;
    FView.EndProcess();
    return true;
}
