// The product services' use of the real system, under Wine: registry writes in the
// view the 32-bit installer uses, locale names for the request headers, the clock,
// COM start-up, and the browser's data files while another program holds them open.
// Run with LC_ALL=pt_BR.UTF-8 (see CMakeLists.txt): Brazilian Portuguese everywhere.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "os/FileBytes.h"
#include "os/OsServices.h"
#include "os/Utf8Path.h"
#include "services/RequestLanguage.h"
#include "services/TaskSchedulerSupport.h"
#include "services/VantorConfig.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kTestKey = "SOFTWARE\\Qarto Private Browser\\ServicesWinTest";

void DeleteTestKey(REGSAM view) {
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Qarto Private Browser", 0, KEY_ALL_ACCESS | view, &parent) ==
        ERROR_SUCCESS) {
        RegDeleteTreeW(parent, L"ServicesWinTest");
        RegCloseKey(parent);
    }
}

class RegistryWin : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        DeleteTestKey(KEY_WOW64_32KEY);
        DeleteTestKey(KEY_WOW64_64KEY);
    }
    Registry& registry = WindowsOsServices().registry;
};

TEST_F(RegistryWin, WritesLandInTheViewTheyName) {
    ASSERT_TRUE(registry.WriteString(RegistryRoot::LocalMachine, kTestKey, "Value", "thirty-two \xE2\x82\xAC",
                                     RegistryView::Default));
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, kTestKey, "Value", RegistryView::Bits32),
              "thirty-two \xE2\x82\xAC");
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, kTestKey, "Value", RegistryView::Bits64), std::nullopt)
        << "HKLM\\SOFTWARE is redirected: the 64-bit view is another key";
    ASSERT_TRUE(registry.WriteString(RegistryRoot::LocalMachine, kTestKey, "Value", "sixty-four", RegistryView::Bits64));
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, kTestKey, "Value"), "thirty-two \xE2\x82\xAC");
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, kTestKey, "Value", RegistryView::Bits64), "sixty-four");
}

TEST_F(RegistryWin, CreateKeyMakesMissingParents) {
    const std::string deep = std::string(kTestKey) + "\\a\\b";
    EXPECT_FALSE(registry.KeyExists(RegistryRoot::LocalMachine, deep, RegistryView::Bits32));
    EXPECT_TRUE(registry.CreateKey(RegistryRoot::LocalMachine, deep, RegistryView::Bits32));
    EXPECT_TRUE(registry.KeyExists(RegistryRoot::LocalMachine, deep, RegistryView::Bits32));
    EXPECT_TRUE(registry.CreateKey(RegistryRoot::LocalMachine, deep, RegistryView::Bits32)) << "existing: opens";
    EXPECT_EQ(registry.ReadString(RegistryRoot::LocalMachine, deep, "", RegistryView::Bits32), std::nullopt);
}

TEST(LocaleWin, RequestLanguagesFollowTheSystem) {
    const Locale& locale = WindowsOsServices().locale;
    EXPECT_EQ(locale.IsoLanguageName(0x0411), "ja");
    EXPECT_EQ(locale.IsoCountryName(0x0411), "JP");
    EXPECT_EQ(locale.IsoLanguageName(0x0414), "nb");
    EXPECT_EQ(locale.IsoCountryName(0x0401), "SA");
    // The environment of this test: Brazilian Portuguese.
    EXPECT_EQ(locale.SystemDefaultLanguageId(), 0x0416);
    EXPECT_EQ(LanguageTag(locale), "pt-br");
    EXPECT_EQ(AcceptLanguageValue(locale), "pt-BR");
}

TEST(ClockWin, LocalTimeAndTicks) {
    const Clock& clock = WindowsOsServices().clock;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const TSystemTime t = clock.LocalTime();
    EXPECT_EQ(t.year, now.wYear);
    EXPECT_GE(t.month, 1);
    // The tick count moves in steps of the system timer (about 16 ms), and a busy
    // machine may wake a sleeper late but never early.
    const std::uint64_t a = clock.TickCount64();
    Sleep(200);
    EXPECT_GE(clock.TickCount64() - a, 150u);
}

TEST(ComStartUpWin, MainThreadJoinsTheMultithreadedApartment) {
    {
        TTaskSchedulerSupport support(WindowsComRuntime(), WindowsOsServices().system.ReportedVersion());
        EXPECT_EQ(support.Generation(), 2);
        EXPECT_TRUE(support.Succeeded());
        APTTYPE type{};
        APTTYPEQUALIFIER qualifier{};
        ASSERT_EQ(CoGetApartmentType(&type, &qualifier), S_OK);
        EXPECT_EQ(type, APTTYPE_MTA);
        // Later code asking for a single-threaded apartment on this thread is refused.
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);
    }
    APTTYPE type{};
    APTTYPEQUALIFIER qualifier{};
    EXPECT_EQ(CoGetApartmentType(&type, &qualifier), CO_E_NOTINITIALIZED) << "left again at the end";
}

class DataFileWin : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = fs::path(temp) / ("qarto-datafile-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder);
        file = folder / "config.kvdt";
        TVantorConfig(PathUtf8(file), WindowsOsServices().clock).WriteString("Config", "Theme", "Dark");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    HANDLE Hold(DWORD access, DWORD share) {
        return CreateFileW(file.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    std::size_t FilesInFolder() {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    fs::path folder, file;
};

TEST_F(DataFileWin, FileHeldForDeletionIsReadThroughACopy) {
    // A holder that allows deletion but not writing: opening the file to read it with
    // the usual sharing fails, the system's copy does not.
    HANDLE holder = Hold(GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(ReadFileBytes(file).has_value()) << "the plain read is refused";
    const TVantorConfig config(PathUtf8(file), WindowsOsServices().clock);
    EXPECT_EQ(config.ReadString("Config", "Theme", ""), "Dark");
    CloseHandle(holder);
    EXPECT_EQ(FilesInFolder(), 1u) << "the copy is gone";
}

TEST_F(DataFileWin, FileHeldExclusivelyIsNeverOverwritten) {
    const std::string before = ReadFileBytes(file).value();
    HANDLE holder = Hold(GENERIC_READ | GENERIC_WRITE, 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    TVantorConfig config(PathUtf8(file), WindowsOsServices().clock);
    EXPECT_EQ(config.ReadString("Config", "Theme", "default"), "default");
    config.WriteString("Config", "Language", "pt");
    CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(file).value(), before);
    EXPECT_EQ(config.ReadString("Config", "Theme", ""), "Dark") << "what it held is still there";
    EXPECT_EQ(FilesInFolder(), 1u);
}

}  // namespace
