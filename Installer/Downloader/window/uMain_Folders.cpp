// The installer window's folders: the download folder made safe before anything in it
// is trusted, and install folders outside the program-files folders made or refused.
#include <filesystem>

#include "Installer/Downloader/flow/InstallPath.h"
#include "Installer/Downloader/flow/SecureFolder.h"
#include "Installer/Downloader/window/uMain.h"
#include "os/Utf8Path.h"
#include "services/SystemInfo.h"

namespace {

// Both program-files folders: the one this program's width sees, and the 64-bit one.
std::vector<std::string> ProgramFilesFolders(const OsServices& os) {
    return {os.shell.FolderPath(Csidl::ProgramFiles), GetUserFolder(os, kUserFolderProgramFiles64)};
}

}  // namespace

// `folder` made, checked and, when it fails, taken over or replaced
// (PrepareSecureFolder); then everything in it that fails the check is removed before
// anything reads it. "" when no folder could be made safe.
std::string TfrmZYRDownloader::MakeDownloadFolderSafe(const std::string& folder, const std::string& commonAppData) {
    TFolderSecurity* security = FEnv.platform.FolderSecurity();
    if (!security) {
        std::error_code ec;
        std::filesystem::create_directories(Utf8Path(folder), ec);
        FEnv.platform.SecureFolder(folder);
        return folder;
    }
    const auto trace = [this](const std::string& line) { TraceLine(line); };
    const std::string chosen = PrepareSecureFolder(*security, DownloadFolderPlan(folder, commonAppData), trace);
    if (chosen.empty()) {
        TraceLine("download folder: none can be made safe");
        return {};
    }
    SweepUntrustedEntries(*security, chosen, trace);
    TraceLine("download folder: " + chosen + " " + security->DescriptorText(chosen));
    return chosen;
}

// Called by the flow before the descriptors are fetched: nobody but administrators
// could change the folder since start-up, so this only says so, unless it has changed.
void TfrmZYRDownloader::SecureDownloadFolder(const std::string& folder) {
    TFolderSecurity* security = FEnv.platform.FolderSecurity();
    if (!security) return FEnv.platform.SecureFolder(folder);
    const TTrustVerdict verdict = JudgeSecurity(security->Read(folder));
    if (verdict.trusted) return;
    TraceLine("download folder: " + folder + " " + verdict.reason + " at the install start");
    const auto trace = [this](const std::string& line) { TraceLine(line); };
    if (TakeOverFolder(*security, folder, trace)) SweepUntrustedEntries(*security, folder, trace);
}

bool TfrmZYRDownloader::CreateFolder(const std::string& path) {
    TFolderSecurity* security = FEnv.platform.FolderSecurity();
    if (security && !IsInProgramFiles(path, ProgramFilesFolders(FEnv.os))) {
        const TInstallFolderCheck check = PrepareInstallFolder(*security, path);
        TraceLine("install folder " + path + ": " + check.reason);
        return check.state != TInstallFolderState::Failed;
    }
    // In a program-files folder the new folder inherits its rights, as the package's
    // own folders do.
    std::error_code ec;
    std::filesystem::create_directories(Utf8Path(path), ec);
    return !ec;
}

// Whether the installation may go into the chosen folder; a notice when not. An
// install folder outside the program-files folders that was there already and that
// others than administrators may change is refused: the elevated package would write
// into it and zyRInit.exe would be started from it.
bool TfrmZYRDownloader::InstallFolderAccepted() {
    TFolderSecurity* security = FEnv.platform.FolderSecurity();
    if (!security || IsInProgramFiles(FInstallPath, ProgramFilesFolders(FEnv.os))) return true;
    const TInstallFolderCheck check = PrepareInstallFolder(*security, FInstallPath);
    if (check.state == TInstallFolderState::Ready) return true;
    TraceLine("install folder refused: " + FInstallPath + ": " + check.reason);
    if (check.state == TInstallFolderState::Untrusted)
        ShowWarning("M_PathNotSecure",
                    "Users other than administrators can change the folder you chose. Please choose another "
                    "folder.");
    else
        ShowWarning("M_PathInvaild", "The installation directory you entered is incorrect, please re-enter.");
    ShowOptionsPageForInvalidPath();
    EnableInstallButtons();
    return false;
}
