// System information against the real Win32 services, run under Wine in a 64-bit
// prefix. The 32-bit build runs there as on users' machines (under WOW64); the
// 64-bit build must see exactly the same system.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "os/TextConvert.h"
#include "os/Utf8Path.h"
#include "services/AppFrame.h"
#include "services/SystemInfo.h"

namespace fs = std::filesystem;

namespace {
const OsServices& Os() { return WindowsOsServices(); }

std::string OwnFolder() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return PathUtf8(fs::path(path).parent_path()) + "\\";
}

void WriteBytes(const fs::path& p, size_t n) { std::ofstream(p, std::ios::binary) << std::string(n, 'x'); }
}  // namespace

TEST(SystemInfoWin, Wow64AndProgramFilesFolders) {
    EXPECT_TRUE(IsWow64(Os()));
    const std::string x86 = GetSpecialFolder(Os(), Csidl::ProgramFiles);
    EXPECT_EQ(x86, "C:\\Program Files (x86)");
    EXPECT_EQ(GetUserFolder(Os(), kUserFolderProgramFiles64), "C:\\Program Files");
    EXPECT_FALSE(GetUserFolder(Os(), kUserFolderDesktop).empty());
    EXPECT_EQ(GetCommonFolder(Os(), 0), GetSpecialFolder(Os(), Csidl::CommonAppData));
}

TEST(SystemInfoWin, StandardFoldersExist) {
    const std::string temp = GetTempDir(Os());
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(fs::is_directory(Utf8Path(temp)));
    EXPECT_TRUE(fs::is_directory(Utf8Path(GetSystemDir(Os()))));

    TAppFrame frame(Os());
    EXPECT_TRUE(fs::is_directory(Utf8Path(frame.AppDataDir))) << frame.AppDataDir;
    EXPECT_TRUE(fs::is_directory(Utf8Path(frame.CommonAppDataDir))) << frame.CommonAppDataDir;
    EXPECT_EQ(frame.ProgramDir, OwnFolder());
}

TEST(SystemInfoWin, TrueVersionMatchesTheKernel) {
    // RtlGetVersion is not subject to compatibility shims either; both must agree.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtlGetVersion, nullptr);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_EQ(rtlGetVersion(&info), 0);
    const WindowsVersion v = Os().system.TrueVersion();
    EXPECT_EQ(v.major, info.dwMajorVersion);
    EXPECT_EQ(v.minor, info.dwMinorVersion);
    EXPECT_EQ(v.build, info.dwBuildNumber);
}

TEST(SystemInfoWin, NewGuidStringsAreWellFormedAndDistinct) {
    const std::string a = NewGuidString(Os()), b = NewGuidString(Os());
    const std::regex form(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})");
    EXPECT_TRUE(std::regex_match(a, form)) << a;
    EXPECT_NE(a, b);
}

TEST(SystemInfoWin, FolderSizeSkipsHiddenAndDotFolders) {
    const fs::path root = Utf8Path(GetTempDir(Os()) + "qarto-folder-size");
    fs::remove_all(root);
    fs::create_directories(root / "sub" / "deeper");
    fs::create_directories(root / "hidden");
    fs::create_directories(root / ".dot");
    WriteBytes(root / "a.bin", 100);
    WriteBytes(root / "sub" / "b.bin", 40);
    WriteBytes(root / "sub" / "deeper" / "c.bin", 2);
    WriteBytes(root / "hidden" / "d.bin", 1000);
    WriteBytes(root / ".dot" / "e.bin", 3000);
    SetFileAttributesW((root / "hidden").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(GetFolderSize(Os(), PathUtf8(root)), 142u);
    EXPECT_EQ(GetFolderSize(Os(), PathUtf8(root) + "\\"), 142u);
    EXPECT_EQ(GetFolderSize(Os(), PathUtf8(root / "missing")), 0u);
    fs::remove_all(root);
}

TEST(SystemInfoWin, VersionResourceInBothForms) {
    const std::string fixture = OwnFolder() + "VersionFixture.exe";
    ASSERT_TRUE(fs::exists(Utf8Path(fixture)));
    EXPECT_EQ(GetVersionString(Os(), fixture, kVersionIndexFileVersion, "3.0.0.0"), "3, 1, 0, 5");
    EXPECT_EQ(GetNumericVersion(Os(), fixture, kVersionIndexFileVersion, "3.0.0.0"), "3.1.0.5");
    EXPECT_EQ(GetVersionString(Os(), fixture, 1, ""), "Fixture Maker");
    EXPECT_EQ(GetVersionString(Os(), fixture, 0, "none"), "none");  // a string the resource lacks: the default

    // A file without a version resource gives the caller's default in both forms.
    const std::string plain = GetTempDir(Os()) + "qarto-no-version.txt";
    std::ofstream(Utf8Path(plain)) << "no resource";
    EXPECT_EQ(GetVersionString(Os(), plain, kVersionIndexFileVersion, "3.0.0.0"), "3.0.0.0");
    EXPECT_EQ(GetNumericVersion(Os(), plain, kVersionIndexFileVersion, "3.0.0.0"), "3.0.0.0");
    EXPECT_EQ(GetNumericVersion(Os(), plain + ".missing", kVersionIndexFileVersion, "d"), "d");
}

TEST(SystemInfoWin, RegistryReadsStringsAndKeys) {
    const Registry& reg = Os().registry;
    EXPECT_TRUE(reg.KeyExists(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    EXPECT_FALSE(reg.KeyExists(RegistryRoot::LocalMachine, "SOFTWARE\\Qarto\\NoSuchKey"));
    auto root = reg.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                               "SystemRoot");
    ASSERT_TRUE(root.has_value());
    EXPECT_EQ(*root, "C:\\windows");
    EXPECT_FALSE(reg.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                "NoSuchValue"));
}

// A redirected key holds different values in its two views; the default view is the
// 32-bit one, whatever width this program was built for.
TEST(SystemInfoWin, RegistryViewsAsThe32BitInstallerSeesThem) {
    const wchar_t* key = L"SOFTWARE\\QartoViewTest";
    auto put = [&](REGSAM view, const wchar_t* value) {
        HKEY h = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_WRITE | view, nullptr, &h, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(h, L"Width", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
        RegCloseKey(h);
    };
    put(KEY_WOW64_32KEY, L"32");
    put(KEY_WOW64_64KEY, L"64");
    const Registry& reg = Os().registry;
    EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\QartoViewTest", "Width").value_or(""), "32");
    EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\QartoViewTest", "Width", RegistryView::Bits32)
                  .value_or(""),
              "32");
    EXPECT_EQ(reg.ReadString(RegistryRoot::LocalMachine, "SOFTWARE\\QartoViewTest", "Width", RegistryView::Bits64)
                  .value_or(""),
              "64");
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_32KEY, 0);
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
}

TEST(SystemInfoWin, ProgramFilesVariablesAsA32BitProcessHasThem) {
    EXPECT_EQ(Os().system.GetEnv("ProgramFiles"), "C:\\Program Files (x86)");
    EXPECT_EQ(Os().system.GetEnv("CommonProgramFiles"), "C:\\Program Files (x86)\\Common Files");
}
