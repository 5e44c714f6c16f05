#include "Installer/Downloader/flow/InstallOptions.h"

#include <exception>

#include "Installer/Downloader/flow/InstallPath.h"
#include "Installer/Downloader/flow/ProductNames.h"
#include "services/LogFiles.h"

namespace {
void Log(const std::string& text) { WriteInstallerLog(text, kInstallerLogName); }
}  // namespace

std::string TInstallOptions::QuillSetupPath() {
    const ::QuillSetupPath result = GetQuillSetupPath(FOs);
    ExistingInstall = result.existing;
    if (result.diskFull) FView.EndForFullDisk();
    return result.path;
}

void TInstallOptions::ShowPathInvalid(const std::string& resetText) {
    FView.BringInstallerToFront();
    FView.ShowWarning("M_PathInvaild", "The installation directory you entered is incorrect, please re-enter.");
    FView.SetPathText(resetText);
    FView.ShowOptionsPageForInvalidPath();
    FView.EnableInstallButtons();
}

bool TInstallOptions::CheckPathChars() {
    const std::string joined = NormalisePathText(FView.PathText());
    FView.SetPathText(joined);
    return HasOnlyAllowedPathChars(joined);
}

void TInstallOptions::InstallFromMainPage() {
    const std::string remembered = FView.PathText();
    InstallPath = remembered;
    if (!IsFixedDrive(FOs, remembered)) {
        Log(remembered);
        ShowPathInvalid(remembered);
        return;
    }
    InstallPath = CompleteWithProductName(remembered);
    FView.SetPathText(InstallPath);
    FView.StartInstall();
}

void TInstallOptions::InstallFromOptionsPage() {
    auto invalid = [&] {
        Log(FView.PathText());
        ShowPathInvalid(QuillSetupPath());
    };
    if (!CheckPathChars()) return invalid();
    const std::string trimmed = TrimPath(FView.PathText());
    if (!IsFixedDrive(FOs, trimmed)) return invalid();
    // "C:abc" is relative to the drive's current folder: refused. "C:\" passes.
    if (trimmed.size() > 3 && trimmed[2] != '\\') return invalid();

    InstallPath = CompleteWithProductName(trimmed);
    FView.SetPathText(InstallPath);
    if (!FView.CreateFolder(InstallPath) || !FView.FolderExists(InstallPath)) {
        Log(InstallPath);
        const std::string fallback = QuillSetupPath();
        ShowPathInvalid(fallback);
        FView.RemoveFolderIfEmpty(fallback);
        return;
    }
    if (CheckDiskSpace(FOs, DrivePart(InstallPath), kRequiredFreeBytes)) {
        FView.ShowWarning("M_PartitionIsFull",
                          "This partition doesn't have enough free space (500MB). Please choose another partition "
                          "to continue the installation.");
        FView.SetPathText(QuillSetupPath());
        FView.FocusPathSelectAll();
        FView.EnableOptionsInstallButton();
        return;
    }
    InstallPath = WithTrailingBackslash(TrimPath(FView.PathText()));
    SaveUserConfig();
    FView.StartInstall();
}

void TInstallOptions::BrowseClick() {
    FView.DropPathFocus();
    const std::string chosen = FView.ChooseFolder();
    if (chosen.size() > 1) {
        FView.SetPathText(chosen);
        FView.DropPathFocus();
    }
    if (IsFixedDrive(FOs, FView.PathText())) {
        if (chosen.size() > 1) FView.SetPathText(WithTrailingBackslash(CompleteWithProductName(FView.PathText())));
        InstallPath = FView.PathText();
        return;
    }
    Log(FView.PathText());
    ShowPathInvalid(QuillSetupPath());
}

bool TInstallOptions::KeyAllowed(char32_t c) { return !IsRefusedTypedChar(c); }

void TInstallOptions::PathChanged() {
    const std::string text = FView.PathText();
    const std::string cut = CutAtRefusedTypedChar(text);
    if (cut != text) FView.SetPathText(cut);
}

void TInstallOptions::LoadUserConfig() {
    try {
        // Without a safe download folder there is no configuration to trust.
        const auto config = DownloadPath.empty() ? std::nullopt : LoadUserConfigFile(DownloadPath);
        if (!config) {
            Options.createDesktopIcon = true;
            Options.addBookmark = false;
            Options.createTaskbar = true;
            return;
        }
        InstallPath = config->installPath;
        if (InstallPath.size() > 1) {
            if (TrimPath(InstallPath).size() < 4) InstallPath = QuillSetupPath();
            if (CheckDiskSpace(FOs, DrivePart(InstallPath), kRequiredFreeBytes)) InstallPath = QuillSetupPath();
        } else {
            InstallPath = QuillSetupPath();
        }
        InstallPath = WithTrailingBackslash(InstallPath);
        FView.SetPathText(InstallPath);
        FView.RemoveFolderIfEmpty(InstallPath);
        Options.addBookmark = config->addBookmark;
        Options.proxyHost = config->proxyHost;
        Options.proxyPort = config->proxyPort;
        Options.proxyUser = config->proxyUser;
        Options.proxyPass = config->proxyPass;
    } catch (const std::exception&) {
    }
}

void TInstallOptions::SaveUserConfig() {
    if (DownloadPath.empty()) return;  // never beside whatever folder is current
    TUserConfig config = Options;
    config.installPath = InstallPath;
    SaveUserConfigFile(DownloadPath, config);
}
