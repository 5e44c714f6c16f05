#include "services/SystemInfo.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

#include "os/UserLaunch.h"

namespace {

std::string Trim(std::string s) {
    auto space = [](unsigned char c) { return std::isspace(c) != 0; };
    s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), space));
    s.erase(std::find_if_not(s.rbegin(), s.rend(), space).base(), s.end());
    return s;
}

bool EndsWithNoCase(const std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                  std::tolower(static_cast<unsigned char>(b)); });
}

bool IsVistaOrLater(const OsServices& os) { return os.system.TrueVersion().major >= 6; }

// The standard location of a folder on the system drive, by Windows generation.
std::string OnSystemDrive(const OsServices& os, const std::string& vistaPath, const std::string& xpPath) {
    return os.system.SystemDrive() + (IsVistaOrLater(os) ? vistaPath : xpPath);
}

std::string UserPath(const OsServices& os, const std::string& vistaTail, const std::string& xpTail) {
    const std::string user = os.system.UserName();
    return OnSystemDrive(os, "\\Users\\" + user + vistaTail, "\\Documents and Settings\\" + user + xpTail);
}

// On 64-bit Windows a 32-bit process wants the "(x86)" variant of the variable.
std::string ProgramFilesFallback(const OsServices& os, const std::string& variable, const std::string& tail) {
    const bool wow64 = IsWow64(os);
    std::string value = Trim(os.system.GetEnv(wow64 ? variable + "(x86)" : variable));
    if (!value.empty()) return value;
    return os.system.SystemDrive() + (wow64 ? "\\Program Files (x86)" : "\\Program Files") + tail;
}

std::string EnvOr(const OsServices& os, const std::string& variable, const std::string& fallback) {
    std::string value = Trim(os.system.GetEnv(variable));
    return value.empty() ? fallback : value;
}

}  // namespace

std::string GetCommonFolder(const OsServices& os, int kind) {
    static constexpr std::array<int, 13> kCsidl = {
        Csidl::CommonAppData,   Csidl::CommonDesktopDirectory, Csidl::CommonPrograms,   Csidl::CommonStartMenu,
        Csidl::CommonFavorites, Csidl::CommonStartMenu,        Csidl::CommonStartup,    Csidl::CommonTemplates,
        Csidl::CommonDocuments, Csidl::CommonAdminTools,       Csidl::CommonMusic,      Csidl::CommonPictures,
        Csidl::CommonVideo};
    if (kind < 0 || kind >= static_cast<int>(kCsidl.size())) return {};
    return os.shell.FolderPath(kCsidl[static_cast<size_t>(kind)]);
}

std::string GetUserFolder(const OsServices& os, int kind) {
    switch (kind) {
        case kUserFolderDesktop: return os.shell.FolderPath(Csidl::DesktopDirectory);
        case kUserFolderProgramFiles64: {
            std::string folder = os.shell.FolderPath(Csidl::ProgramFiles);
            constexpr std::string_view kX86 = " (x86)";
            if (EndsWithNoCase(folder, kX86)) folder.resize(folder.size() - kX86.size());
            return folder;
        }
        default: return {};
    }
}

std::string GetSpecialFolder(const OsServices& os, int csidl) {
    std::string folder = os.shell.FolderPath(csidl);
    if (folder.size() > 2) return folder;
    switch (csidl) {
        case Csidl::Profile:
            return EnvOr(os, "USERPROFILE", UserPath(os, "", ""));
        case Csidl::ProgramFiles:
            return ProgramFilesFallback(os, "ProgramFiles", "");
        case Csidl::ProgramFilesCommon:
            return ProgramFilesFallback(os, "CommonProgramFiles", "\\Common Files");
        case Csidl::AppData:
            return EnvOr(os, "APPDATA", UserPath(os, "\\AppData\\Roaming", "\\Application Data"));
        case Csidl::LocalAppData:
            return EnvOr(os, "LOCALAPPDATA",
                         UserPath(os, "\\AppData\\Local", "\\Local Settings\\Application Data"));
        case Csidl::CommonAppData:
            return EnvOr(os, "ProgramData",
                         OnSystemDrive(os, "\\ProgramData", "\\Documents and Settings\\All Users\\Application Data"));
        default:
            return folder;
    }
}

std::string AppDataFolderWithFallback(const OsServices& os, bool common) {
    std::string folder = os.shell.FolderPath(common ? Csidl::CommonAppData : Csidl::AppData);
    if (!folder.empty() && os.system.DirectoryExists(folder)) return folder;

    auto fromRegistry = os.registry.ReadString(common ? RegistryRoot::LocalMachine : RegistryRoot::CurrentUser,
                                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                               common ? "Common AppData" : "AppData");
    if (fromRegistry && !fromRegistry->empty() && os.system.DirectoryExists(*fromRegistry)) return *fromRegistry;

    if (common)
        return OnSystemDrive(os, "\\ProgramData", "\\Documents and Settings\\All Users\\Application Data");
    return UserPath(os, "\\AppData\\Roaming", "\\Application Data");
}

std::string GetSystemDir(const OsServices& os) { return os.system.SystemDir(); }

std::string GetTempDir(const OsServices& os) { return os.system.TempDir(); }

std::string FormatGuid(const std::array<std::uint8_t, 16>& b) {
    auto le32 = [&](int i) {
        return unsigned(b[i]) | unsigned(b[i + 1]) << 8 | unsigned(b[i + 2]) << 16 | unsigned(b[i + 3]) << 24;
    };
    auto le16 = [&](int i) { return unsigned(b[i]) | unsigned(b[i + 1]) << 8; };
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", le32(0), le16(4),
                  le16(6), b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return text;
}

std::string NewGuidString(const OsServices& os) {
    auto guid = os.system.CreateGuid();
    return guid ? FormatGuid(*guid) : std::string();
}

std::uint64_t GetFolderSize(const OsServices& os, const std::string& folder) {
    return os.disks.FolderSize(folder);
}

std::string GetVersionString(const OsServices& os, const std::string& file, int index, const std::string& def) {
    if (index < 0 || index > 10) return def;
    auto record = os.versions.Read(file);
    if (!record) return def;
    return record->strings[static_cast<size_t>(index)].value_or(def);
}

std::string GetNumericVersion(const OsServices& os, const std::string& file, int index, const std::string& def) {
    if (index != kVersionIndexFileVersion) return GetVersionString(os, file, index, def);
    auto record = os.versions.Read(file);
    if (!record || !record->hasFixedFileVersion) return def;
    const auto& v = record->fixedFileVersion;
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
           std::to_string(v[3]);
}

bool IsWow64(const OsServices& os) { return os.system.Is64BitWindows(); }

namespace {

// Programs whose presence breaks the shell's handling of web addresses on
// Windows 10 from build 10586: with them installed the address goes straight to
// Internet Explorer.
constexpr std::array<const char*, 4> kShellBreakingPrograms = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\360TotalSecurity",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MPC AdCleaner",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MPC",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\iSafe",
};

// Web pages open with the user's own rights even from the elevated installer.
void OpenWith(const OsServices& os, const std::string& program, const std::string& url, int showMode,
              void* owner) {
    ShellExecuteRequest request;
    request.ownerWindow = owner;
    request.verb = "open";
    request.file = program;
    request.parameters = url;
    request.showMode = showMode;
    StartAsUser(os.shell, request);
}

bool IsAbsoluteWindowsPath(const std::string& path) {
    return path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\';
}

}  // namespace

std::string InternetExplorerPath(const OsServices& os) {
    std::string programFiles = GetSpecialFolder(os, Csidl::ProgramFiles);
    if (!programFiles.empty()) {
        if (programFiles.back() != '\\') programFiles += '\\';
        const std::string iexplore = programFiles + "Internet Explorer\\iexplore.exe";
        if (os.system.FileExists(iexplore)) return iexplore;
    }
    // Only administrators write this key; still, only a full path is taken, never a
    // name the system would look for in the current folder.
    const std::string registered =
        os.registry
            .ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", "")
            .value_or("");
    return IsAbsoluteWindowsPath(registered) ? registered : std::string();
}

void OpenUrl(const OsServices& os, const std::string& url, int showMode, void* ownerWindow, const std::string& folder,
             const std::string& parameters, const std::string& verb) {
    try {
        const WindowsVersion v = os.system.TrueVersion();
        if (v.major >= 10 && v.build >= 10586 &&
            std::any_of(kShellBreakingPrograms.begin(), kShellBreakingPrograms.end(),
                        [&](const char* key) { return os.registry.KeyExists(RegistryRoot::LocalMachine, key); })) {
            const std::string iexplore = InternetExplorerPath(os);
            if (!iexplore.empty()) {
                OpenWith(os, iexplore, url, showMode, ownerWindow);
                return;
            }
        }

        ShellExecuteRequest request;
        request.ownerWindow = ownerWindow;
        request.verb = verb;
        request.file = url;
        request.parameters = parameters;
        request.folder = folder;
        request.showMode = showMode;
        const std::intptr_t result = StartAsUser(os.shell, request);
        // SE_ERR_DDEFAIL: the browser was started, only its DDE conversation failed.
        constexpr std::intptr_t kDdeFailed = 29;
        if (result > 32 || result == kDdeFailed) return;

        const std::string iexplore = InternetExplorerPath(os);
        if (!iexplore.empty()) OpenWith(os, iexplore, url, showMode, ownerWindow);
    } catch (...) {
        // Never raises; without Internet Explorer by its full path nothing else is tried.
        try {
            const std::string iexplore = InternetExplorerPath(os);
            if (!iexplore.empty()) OpenWith(os, iexplore, url, showMode, ownerWindow);
        } catch (...) {
        }
    }
}
