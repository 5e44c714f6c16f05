// The INI classes against the real file system and profile functions under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "os/FileBytes.h"
#include "os/TextConvert.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/ini/IniFile.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "services/SystemInfo.h"

namespace fs = std::filesystem;

namespace {
std::string TestFolder(const char* name) {
    const std::string folder = GetTempDir(WindowsOsServices()) + "qarto-ini-" + name;
    fs::remove_all(Utf8Path(folder));
    fs::create_directories(Utf8Path(folder));
    return folder + "\\";
}
DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }
}  // namespace

TEST(IniWin, ReadOnlyHiddenFileIsUpdatedAndKeepsItsAttributes) {
    const std::string file = TestFolder("attr") + "ZYRNew_UserConfig.ini";
    std::ofstream(Utf8Path(file)) << "[Config]\r\nDesktopIcon=0\r\n";
    ASSERT_TRUE(SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    {
        TSafeIniFile ini(file);
        ini.WriteBool("Config", "DesktopIcon", true);
        ini.UpdateFile();
    }
    EXPECT_TRUE(TSafeIniFile(file).ReadBool("Config", "DesktopIcon", false));
    const DWORD a = Attributes(file);
    EXPECT_TRUE(a & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(a & FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(Widen(file).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(IniWin, FileThatCannotBeReadIsNeverOverwritten) {
    const std::string file = TestFolder("locked") + "locked.ini";
    std::ofstream(Utf8Path(file), std::ios::binary) << "[S]\r\nk=original\r\n";
    HANDLE lock = CreateFileW(Widen(file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        TSafeIniFile ini(file);
        EXPECT_TRUE(ini.LoadFailed());
        ini.WriteString("S", "k", "changed");
        CloseHandle(lock);
    }  // destroyed after the lock is gone: still no save
    EXPECT_EQ(ReadFileBytes(Utf8Path(file)).value_or(""), "[S]\r\nk=original\r\n");
}

TEST(IniWin, ProfileFunctionsReadLongValuesAndManySectionsWhole) {
    const std::string file = TestFolder("profile") + "state.ini";
    TIniFile ini(file);
    const std::string longValue(10000, 'x');
    ASSERT_TRUE(ini.WriteString("Download", "Url", longValue));
    EXPECT_EQ(ini.ReadString("Download", "Url", ""), longValue);
    // More section names than the first 16384-character buffer holds.
    for (int i = 0; i < 700; ++i) ini.WriteInteger("Section_with_a_long_name_" + std::to_string(i), "k", i);
    EXPECT_EQ(ini.ReadSections().size(), 701u);
    EXPECT_EQ(ini.ReadInteger("Section_with_a_long_name_699", "k", -1), 699);
}

TEST(IniWin, BareFileNameIsTheCurrentFolderNotTheWindowsFolder) {
    const std::string folder = TestFolder("bare");
    ASSERT_TRUE(SetCurrentDirectoryW(Widen(folder).c_str()));
    TIniFile ini("bare.ini");
    ASSERT_TRUE(ini.WriteString("S", "k", "v"));
    EXPECT_TRUE(fs::exists(Utf8Path(folder + "bare.ini")));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
}

TEST(IniWin, ProfileFunctionsReadWhatTheMemoryClassWrote) {
    const std::string file = TestFolder("interop") + "config.ini";
    {
        TSafeIniFile ini(file);
        ini.WriteString("Lang", "Name", "\xE4\xB8\xAD\xE6\x96\x87");  // 中文, stored as UTF-16
    }
    EXPECT_EQ(TIniFile(file).ReadString("lang", "NAME", ""), "\xE4\xB8\xAD\xE6\x96\x87");
}
