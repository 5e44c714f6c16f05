#pragma once
// Where the installed browser is: its installation folder, its user-data folder,
// whether the beta edition is installed, and its version. Every answer is usable
// even when nothing is installed (the usual folders, the release edition, "3.0.0.0").
// Blocking (registry and file reads), cheap. One thread.
#include <string>

#include "os/OsServices.h"

inline constexpr const char* kBrowserExeName = "QartoBrowser.exe";
// The release edition's uninstall key below HKEY_LOCAL_MACHINE, read in the 32-bit
// view; the installer of the browser is a 32-bit program and writes it there.
inline constexpr const char* kBrowserUninstallKey =
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Qarto Private Browser_is1";

class TBrowserProbe {
public:
    // `os` must outlive the object.
    explicit TBrowserProbe(const OsServices& os);

    // The installation folder with a trailing "\": "InstallLocation" of the
    // uninstall key, else the program-files folder + "\Qarto Private Browser\".
    std::string GetBrowserInstallDir() const;
    // True when "Update\Update.ini" of the installation has "ver1" = 1 in section
    // "Beta". Once the file has been read the answer is kept; while the file is
    // missing, every call looks again.
    bool IsBetaBrowser();
    // The profile's "AppData\Local" + the edition's product folder + "User Data\Default\".
    std::string GetBrowserUserDataDir();
    // The fixed file version of folder + "QartoBrowser.exe" as "a.b.c.d" ("3.0.0.0"
    // when it has none); an empty `folder` means this program's own folder.
    std::string GetInstalledBrowserVersion(const std::string& folder) const;

private:
    const OsServices& FOs;
    int FBetaState = -1;  // -1 not known yet, 1 beta, 0 release
};
