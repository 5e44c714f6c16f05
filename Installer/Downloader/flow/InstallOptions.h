#pragma once
// What the user chooses before the installation starts: the folder (from the main
// page, the options page or the folder dialog), the options and the proxy, and the
// user configuration that remembers them. Portable: the window implements
// TInstallOptionsView and forwards its events here. UI thread only.
#include <string>

#include "Installer/Downloader/flow/UserConfig.h"
#include "os/OsServices.h"

class TInstallOptionsView {
public:
    virtual ~TInstallOptionsView() = default;
    // The path edit.
    virtual std::string PathText() const = 0;
    virtual void SetPathText(const std::string& text) = 0;
    virtual void FocusPathSelectAll() = 0;
    virtual void DropPathFocus() = 0;
    // Notices (warning icon, OK button), texts by message key with their default.
    virtual void BringInstallerToFront() = 0;
    virtual void ShowWarning(const std::string& messageKey, const std::string& defaultText) = 0;
    // "M_DiskIsFull", the tray component disabled, the process ended with code 0.
    virtual void EndForFullDisk() = 0;
    // The options page activated (a folder check failed).
    virtual void ShowOptionsPageForInvalidPath() = 0;
    virtual void EnableInstallButtons() = 0;         // "Install" and "Install Now"
    virtual void EnableOptionsInstallButton() = 0;   // "Install"
    // The folder dialog; "" when cancelled.
    virtual std::string ChooseFolder() = 0;
    // Folders, so that tests need no drive letters on the host.
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) const = 0;
    virtual void RemoveFolderIfEmpty(const std::string& path) = 0;
    // The install start (the download page).
    virtual void StartInstall() = 0;
};

class TInstallOptions {
public:
    TInstallOptions(const OsServices& os, TInstallOptionsView& view) : FOs(os), FView(view) {}

    // Window state shared with the install flow.
    std::string InstallPath;       // FInstallPath, with a trailing backslash once decided
    bool ExistingInstall = false;  // FExistingInstall: the folder choice is locked
    std::string DownloadPath;      // FDownloadPath, where the user configuration lives
    TUserConfig Options;           // check boxes and proxy edits as the window shows them

    // The default folder, moved to a drive with room; ends the process (through the
    // view) when no fixed drive has 500 MiB.
    std::string QuillSetupPath();

    // "Install Now", "Install", "Browse...".
    void InstallFromMainPage();
    void InstallFromOptionsPage();
    void BrowseClick();
    // The path edit: whether a typed character is kept, and the text after a change.
    static bool KeyAllowed(char32_t c);
    void PathChanged();

    // Cleans the edit text; true when it holds no refused character.
    bool CheckPathChars();
    void ShowPathInvalid(const std::string& resetText);

    // The user configuration in DownloadPath.
    void LoadUserConfig();
    void SaveUserConfig();

private:
    const OsServices& FOs;
    TInstallOptionsView& FView;
};
