#include "Installer/Downloader/flow/UserConfig.h"

#include <exception>
#include <filesystem>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/ini/SafeIniFile.h"

std::optional<TUserConfig> LoadUserConfigFile(const std::string& folder) {
    try {
        const std::string file = folder + kUserConfigFileName;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(Utf8Path(file), ec)) return std::nullopt;
        TSafeIniFile ini;
        ini.LoadFromFile(file);
        TUserConfig config;
        config.installPath = ini.ReadString("Option", "InstallPath", "");
        config.addBookmark = ini.ReadBool("Option", "AddBookmark", false);
        config.proxyHost = ini.ReadString("Proxy", "Host", "");
        config.proxyPort = ini.ReadString("Proxy", "Port", "80");
        config.proxyUser = ini.ReadString("Proxy", "User", "");
        return config;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void SaveUserConfigFile(const std::string& folder, const TUserConfig& config) {
    try {
        std::error_code ec;
        std::filesystem::create_directories(Utf8Path(folder), ec);
        if (!std::filesystem::is_directory(Utf8Path(folder), ec)) return;
        TSafeIniFile ini(folder + kUserConfigFileName);
        ini.WriteString("Option", "InstallPath", config.installPath);
        ini.WriteBool("Option", "CreateDesktopIcon", config.createDesktopIcon);
        ini.WriteBool("Option", "AddBookmark", config.addBookmark);
        ini.WriteBool("Option", "CreateTaskbar", config.createTaskbar);
        ini.WriteString("Proxy", "Host", std::string(TrimBlanks(config.proxyHost)));
        ini.WriteString("Proxy", "Port", std::string(TrimBlanks(config.proxyPort)));
        ini.WriteString("Proxy", "User", std::string(TrimBlanks(config.proxyUser)));
        // Never the password: every user may read this file. A value an earlier
        // version wrote is removed.
        ini.DeleteKey("Proxy", "Pass");
        ini.UpdateFile();
    } catch (const std::exception&) {
    }
}
