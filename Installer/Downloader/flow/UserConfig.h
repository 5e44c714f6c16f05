#pragma once
// "ZYRNew_UserConfig.ini" in the installer's working folder: the folder and options
// of the last run and the proxy settings. Written whole when the installation starts,
// is cancelled or finishes. Blocking file access; errors are swallowed (a missing or
// unreadable file gives the defaults, a failed write changes nothing).
#include <optional>
#include <string>

inline constexpr char kUserConfigFileName[] = "ZYRNew_UserConfig.ini";

struct TUserConfig {
    std::string installPath;
    bool createDesktopIcon = true;
    bool addBookmark = false;
    bool createTaskbar = true;
    std::string proxyHost;
    std::string proxyPort = "80";
    std::string proxyUser;
    std::string proxyPass;  // this run's only: never written to the file, nor read from it
};

// nullopt when the file does not exist in `folder` (with a trailing backslash).
// Only the values the installer reads back are taken from the file: the folder,
// the bookmark option and the proxy without its password; the icon and taskbar
// options start on.
std::optional<TUserConfig> LoadUserConfigFile(const std::string& folder);
// Creates the folder when missing; writes every value but the proxy password (proxy
// texts trimmed), and removes a password an earlier version stored.
void SaveUserConfigFile(const std::string& folder, const TUserConfig& config);
