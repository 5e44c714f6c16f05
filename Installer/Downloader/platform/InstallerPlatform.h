#pragma once
// What the installer window needs from the system beyond the OS seam and the
// framework: ending the process, its own resources and command line, the shell's
// folder dialog and shortcuts, the foreground, window dragging, the package run and
// the download folder's permissions, debugger output. Setup.exe gives the Win32
// one (InstallerPlatform_win.cpp); host tests give a fake.
// UI thread only.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Installer/Downloader/package/LockedPackage.h"
#include "Installer/Downloader/package/RunningProcess.h"
#include "Installer/Downloader/platform/FolderSecurity.h"

class TCustomForm;

class TInstallerPlatform {
public:
    virtual ~TInstallerPlatform() = default;
    // Debugger output (how support and tests follow a run).
    virtual void Trace(const std::string& text) = 0;
    // Ends the process with exit code 0 at once. Does not return in the product; a
    // test's fake throws.
    virtual void EndProcess() = 0;
    // A raw-data resource of the program by name; nullopt when there is none.
    virtual std::optional<std::string> Resource(const std::string& name) = 0;
    // The command line's parameters (without the program).
    virtual std::vector<std::string> CommandLineParameters() = 0;
    virtual bool ForceForeground(TCustomForm& form) = 0;
    virtual void StartWindowDrag(TCustomForm& form) = 0;
    virtual std::string BrowseForFolder(TCustomForm* owner, const std::string& title) = 0;
    virtual void CreateShortcut(const std::string& linkFile, const std::string& target) = 0;
    virtual std::unique_ptr<TRunningProcess> StartPackage(const std::string& program,
                                                          const std::string& parameters) = 0;
    // The package held so that nobody else can change, rename or delete it until it is
    // released; nullptr when it cannot be held (missing, or someone holds it for writing).
    virtual std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) = 0;
    virtual void SecureFolder(const std::string& folder) = 0;
    // The security of folders and files (FolderSecurity.h), through which the window
    // makes, checks and takes over the download folder and makes install folders
    // outside the program-files folders. Setup.exe always has it; a platform without
    // it (host tests of other behaviour) leaves the folders to create_directories and
    // SecureFolder. Owned by the platform.
    virtual TFolderSecurity* FolderSecurity() { return nullptr; }
    // A DWORD value of HKEY_CURRENT_USER; nullopt when missing or not a number.
    virtual std::optional<std::uint32_t> ReadUserDword(const std::string& key, const std::string& name) = 0;
};
