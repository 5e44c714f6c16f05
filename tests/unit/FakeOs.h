#pragma once
// Test doubles of the operating-system services: plain values the test sets.
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "os/InternetSettings.h"
#include "os/OsServices.h"

// `values` and `keys` are seen in every view (keys Windows does not redirect);
// `viewValues` and `viewKeys` only in one view, Bits32 or Bits64 (redirected keys).
// A Default read sees the 32-bit view, as the 32-bit installer does. A value in
// `values` needs no entry in `keys` to be read.
//
// Writes go where a read would find them: to `values` for a key in `keys`, otherwise
// to the view's own values and keys (a created key is a redirected one). With
// `denyWrites` every create and write fails, as for a user without administrator
// rights. `reads` and `writes` count the calls.
class FakeRegistry : public Registry {
public:
    std::map<std::tuple<RegistryRoot, std::string, std::string>, std::string> values;
    std::set<std::pair<RegistryRoot, std::string>> keys;
    std::map<std::tuple<RegistryView, RegistryRoot, std::string, std::string>, std::string> viewValues;
    std::set<std::tuple<RegistryView, RegistryRoot, std::string>> viewKeys;
    bool denyWrites = false;
    mutable int reads = 0;
    int writes = 0;

    using Registry::KeyExists;
    using Registry::ReadString;

    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                                          RegistryView view) const override {
        ++reads;
        if (auto it = viewValues.find({Resolved(view), root, key, name}); it != viewValues.end()) return it->second;
        if (auto it = values.find({root, key, name}); it != values.end()) return it->second;
        return std::nullopt;
    }
    bool KeyExists(RegistryRoot root, const std::string& key, RegistryView view) const override {
        ++reads;
        return keys.count({root, key}) > 0 || viewKeys.count({Resolved(view), root, key}) > 0;
    }
    bool CreateKey(RegistryRoot root, const std::string& key, RegistryView view) override {
        ++writes;
        if (denyWrites) return false;
        if (keys.count({root, key}) == 0) viewKeys.insert({Resolved(view), root, key});
        return true;
    }
    bool WriteString(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value,
                     RegistryView view) override {
        if (!CreateKey(root, key, view)) return false;
        if (keys.count({root, key}) > 0) values[{root, key, name}] = value;
        else viewValues[{Resolved(view), root, key, name}] = value;
        return true;
    }

private:
    static RegistryView Resolved(RegistryView view) {
        return view == RegistryView::Default ? RegistryView::Bits32 : view;
    }
};

class FakeShell : public Shell {
public:
    std::map<int, std::string> folders;
    std::vector<std::intptr_t> results{42};  // answer to each Execute call in turn; the last repeats
    bool throwOnFirstExecute = false;
    std::vector<ShellExecuteRequest> executed;
    TokenElevationKind elevation = TokenElevationKind::Default;
    bool desktopShellTakes = true;  // what ExecuteThroughDesktopShell answers
    std::vector<ShellExecuteRequest> throughDesktopShell;

    std::string FolderPath(int csidl) const override {
        auto it = folders.find(csidl);
        return it == folders.end() ? std::string() : it->second;
    }
    std::intptr_t Execute(const ShellExecuteRequest& request) override {
        executed.push_back(request);
        if (throwOnFirstExecute && executed.size() == 1) throw std::runtime_error("shell failed");
        return results[std::min(executed.size(), results.size()) - 1];
    }
    TokenElevationKind Elevation() const override { return elevation; }
    bool ExecuteThroughDesktopShell(const ShellExecuteRequest& request) override {
        throughDesktopShell.push_back(request);
        return desktopShellTakes;
    }
};

class FakeSystem : public SystemEnvironment {
public:
    std::map<std::string, std::string> env;
    std::string drive = "C:";
    std::string user = "alice";
    WindowsVersion version{10, 0, 19045};
    std::optional<WindowsVersion> reportedVersion;  // unset: the true version
    bool windows64 = true;
    std::set<std::string> directories, files;
    std::string programPath = "C:\\Downloads\\Setup.exe";
    std::optional<std::array<std::uint8_t, 16>> guid;

    std::string GetEnv(const std::string& name) const override {
        auto it = env.find(name);
        return it == env.end() ? std::string() : it->second;
    }
    std::string SystemDrive() const override { return drive; }
    std::string UserName() const override { return user; }
    WindowsVersion TrueVersion() const override { return version; }
    WindowsVersion ReportedVersion() const override { return reportedVersion.value_or(version); }
    bool Is64BitWindows() const override { return windows64; }
    bool DirectoryExists(const std::string& path) const override { return directories.count(path) > 0; }
    bool FileExists(const std::string& path) const override { return files.count(path) > 0; }
    std::string SystemDir() const override { return drive + "\\Windows\\system32"; }
    std::string TempDir() const override { return drive + "\\Temp\\"; }
    std::string ProgramPath() const override { return programPath; }
    std::optional<std::array<std::uint8_t, 16>> CreateGuid() const override { return guid; }
};

// Drives by their letter ("C:"): type and free bytes (nullopt: the query fails).
class FakeDisks : public Disks {
public:
    struct Drive {
        DriveType type = DriveType::Fixed;
        std::optional<std::uint64_t> freeBytes = 100ull << 30;
    };
    std::map<std::string, Drive> drives{{"C:", Drive{}}};

    std::uint64_t FolderSize(const std::string&) const override { return 0; }
    DriveType TypeOfDrive(const std::string& root) const override {
        const Drive* d = Find(root);
        return d ? d->type : DriveType::NoRootDir;
    }
    std::optional<std::uint64_t> FreeBytes(const std::string& root) const override {
        const Drive* d = Find(root);
        return d ? d->freeBytes : std::nullopt;
    }
    std::vector<std::string> DriveRoots() const override {
        std::vector<std::string> roots;
        for (const auto& [letter, drive] : drives) roots.push_back(letter + "\\");
        return roots;
    }

private:
    const Drive* Find(const std::string& root) const {
        if (root.size() < 2) return nullptr;
        std::string letter = root.substr(0, 2);
        letter[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
        auto it = drives.find(letter);
        return it == drives.end() ? nullptr : &it->second;
    }
};

// The same free space for every folder (host paths have no drive letter); nullopt:
// the query fails. Records the folders asked.
class FakeFreeSpace : public FakeDisks {
public:
    std::optional<std::uint64_t> freeBytes = 100ull << 30;
    mutable std::vector<std::string> asked;
    std::optional<std::uint64_t> FreeBytes(const std::string& folder) const override {
        asked.push_back(folder);
        return freeBytes;
    }
};

class FakeVersions : public VersionResources {
public:
    std::map<std::string, FileVersionRecord> records;
    std::optional<FileVersionRecord> Read(const std::string& file) const override {
        auto it = records.find(file);
        if (it == records.end()) return std::nullopt;
        return it->second;
    }
};

class FakeLocale : public Locale {
public:
    std::uint16_t userUILanguage = 0x0409;
    std::uint16_t systemUILanguage = 0x0409;
    std::uint32_t systemLocaleId = 0x0409;
    std::uint16_t systemLanguageId = 0x0409;
    std::uint32_t userLocaleId = 0x0409;
    // ISO 639 and ISO 3166 names by locale; a locale not listed has none.
    std::map<std::uint32_t, std::pair<std::string, std::string>> isoNames{{0x0409, {"en", "US"}}};
    std::uint16_t UserDefaultUILanguage() const override { return userUILanguage; }
    std::uint16_t SystemDefaultUILanguage() const override { return systemUILanguage; }
    std::uint32_t SystemDefaultLocaleId() const override { return systemLocaleId; }
    std::uint16_t SystemDefaultLanguageId() const override { return systemLanguageId; }
    std::uint32_t UserDefaultLocaleId() const override { return userLocaleId; }
    std::string IsoLanguageName(std::uint32_t id) const override {
        auto it = isoNames.find(id);
        return it == isoNames.end() ? std::string() : it->second.first;
    }
    std::string IsoCountryName(std::uint32_t id) const override {
        auto it = isoNames.find(id);
        return it == isoNames.end() ? std::string() : it->second.second;
    }
};

// A clock that stands still unless the test moves it; with `tickStep` every reading
// of the tick count moves it on by that much afterwards.
class FakeClock : public Clock {
public:
    TSystemTime now{2024, 3, 5, 14, 7, 9, 42};
    mutable std::uint64_t ticks = 1000000;
    std::uint64_t tickStep = 0;
    TSystemTime LocalTime() const override { return now; }
    std::uint64_t TickCount64() const override {
        const std::uint64_t value = ticks;
        ticks += tickStep;
        return value;
    }
};

class FakeInternetSettings : public InternetSettings {
public:
    ProxySetting setting;
    ProxySetting CurrentProxy() const override { return setting; }
};

struct FakeOs {
    FakeRegistry registry;
    FakeShell shell;
    FakeSystem system;
    FakeDisks disks;
    FakeVersions versions;
    FakeLocale locale;
    FakeClock clock;
    OsServices services{registry, shell, system, disks, versions, locale, clock};
};
