#include "tools/qtool/QtoolOs.h"

#ifdef _WIN32

OsServices& QtoolOs() { return WindowsOsServices(); }

#else

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <tuple>

#include "os/Utf8Path.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

class MemoryRegistry final : public Registry {
public:
    using Registry::KeyExists;
    using Registry::ReadString;
    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                                          RegistryView) const override {
        auto it = FValues.find({root, key, name});
        if (it == FValues.end()) return std::nullopt;
        return it->second;
    }
    bool KeyExists(RegistryRoot, const std::string&, RegistryView) const override { return false; }
    bool CreateKey(RegistryRoot, const std::string&, RegistryView) override { return true; }
    bool WriteString(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value,
                     RegistryView) override {
        FValues[{root, key, name}] = value;
        return true;
    }

private:
    std::map<std::tuple<RegistryRoot, std::string, std::string>, std::string> FValues;
};

class HostShell final : public Shell {
public:
    std::string FolderPath(int csidl) const override {
        if (csidl != Csidl::Profile) return {};
        const std::string profile = Env("USERPROFILE");
        return profile.empty() ? Env("HOME") : profile;
    }
    std::intptr_t Execute(const ShellExecuteRequest&) override { return 0; }
    TokenElevationKind Elevation() const override { return TokenElevationKind::Default; }
    bool ExecuteThroughDesktopShell(const ShellExecuteRequest&) override { return false; }
};

class HostSystem final : public SystemEnvironment {
public:
    std::string GetEnv(const std::string& name) const override { return Env(name.c_str()); }
    std::string SystemDrive() const override { return "C:"; }
    std::string UserName() const override { return Env("USER"); }
    WindowsVersion TrueVersion() const override { return {10, 0, 19045}; }
    WindowsVersion ReportedVersion() const override { return TrueVersion(); }
    bool Is64BitWindows() const override { return true; }
    bool DirectoryExists(const std::string& path) const override {
        std::error_code ec;
        return std::filesystem::is_directory(Utf8Path(path), ec);
    }
    bool FileExists(const std::string& path) const override {
        std::error_code ec;
        return std::filesystem::is_regular_file(Utf8Path(path), ec);
    }
    std::string SystemDir() const override { return {}; }
    std::string TempDir() const override { return std::filesystem::temp_directory_path().string() + "/"; }
    std::string ProgramPath() const override {
        std::error_code ec;
        return std::filesystem::read_symlink("/proc/self/exe", ec).string();
    }
    std::optional<std::array<std::uint8_t, 16>> CreateGuid() const override {
        std::random_device random;
        std::array<std::uint8_t, 16> bytes{};
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        bytes[7] = static_cast<std::uint8_t>((bytes[7] & 0x0F) | 0x40);  // version 4
        bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);
        return bytes;
    }
};

class NoDisks final : public Disks {
public:
    std::uint64_t FolderSize(const std::string&) const override { return 0; }
    DriveType TypeOfDrive(const std::string&) const override { return DriveType::Unknown; }
    std::optional<std::uint64_t> FreeBytes(const std::string&) const override { return std::nullopt; }
    std::vector<std::string> DriveRoots() const override { return {}; }
};

class NoVersions final : public VersionResources {
public:
    std::optional<FileVersionRecord> Read(const std::string&) const override { return std::nullopt; }
};

class EnglishLocale final : public Locale {
public:
    std::uint16_t UserDefaultUILanguage() const override { return 0x0409; }
    std::uint16_t SystemDefaultUILanguage() const override { return 0x0409; }
    std::uint32_t SystemDefaultLocaleId() const override { return 0x0409; }
    std::uint16_t SystemDefaultLanguageId() const override { return 0x0409; }
    std::uint32_t UserDefaultLocaleId() const override { return 0x0409; }
    std::string IsoLanguageName(std::uint32_t id) const override { return id == 0x0409 ? "en" : ""; }
    std::string IsoCountryName(std::uint32_t id) const override { return id == 0x0409 ? "US" : ""; }
};

class HostClock final : public Clock {
public:
    TSystemTime LocalTime() const override {
        const auto now = std::chrono::system_clock::now();
        const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
        std::tm local{};
        localtime_r(&seconds, &local);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(ms)};
    }
    std::uint64_t TickCount64() const override {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
};

}  // namespace

OsServices& QtoolOs() {
    static MemoryRegistry registry;
    static HostShell shell;
    static HostSystem system;
    static NoDisks disks;
    static NoVersions versions;
    static EnglishLocale locale;
    static HostClock clock;
    static OsServices services{registry, shell, system, disks, versions, locale, clock};
    return services;
}

#endif
