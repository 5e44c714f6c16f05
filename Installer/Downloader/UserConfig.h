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
    std::string proxyPass;
};

// nullopt when the file does not exist in `folder` (with a trailing backslash).
// Only the values the installer reads back are taken from the file: the folder,
// the bookmark option and the proxy; the icon and taskbar options start on.
std::optional<TUserConfig> LoadUserConfigFile(const std::string& folder);
// Creates the folder when missing; writes every value (proxy texts trimmed).
void SaveUserConfigFile(const std::string& folder, const TUserConfig& config);
