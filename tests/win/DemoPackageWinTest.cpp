// The demo package (tools/demo) under Wine: what DemoSetup.exe, zyRInit.exe and
// QartoBrowser.exe leave behind for the command lines the installer passes, the
// settings that make the package slow or fail, and the browser's window, record and
// version.
//
// The programs write into the tree's prefix (the uninstall key, "InstallFinished",
// the user's web handler, shortcuts); every test starts and ends by removing those,
// so the prefix holds no demo installation afterwards.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "os/TextConvert.h"
#include "os/Utf8Path.h"
#include "os/VersionResources.h"
#include "os/WinHandles.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoRegistry_win.h"
#include "tools/demo/DemoSystem_win.h"

namespace fs = std::filesystem;
using namespace demo;

namespace {
const std::string kUserChoiceKey = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";

// QARTO_DEMO_DIR (ctest sets it), else the tree's tools\demo beside tests\win, so the
// program also runs by hand with wine-run.
std::string DemoDir() {
    std::string dir =
        EnvironmentValue("QARTO_DEMO_DIR").value_or(FolderOf(OwnProgramPath()) + "..\\..\\tools\\demo");
    for (char& c : dir)
        if (c == '/') c = '\\';
    return PathUtf8(fs::absolute(Utf8Path(dir)).lexically_normal()) + "\\";
}

std::string ReadWhole(const std::string& file) {
    std::ifstream in(Utf8Path(file), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> lines;
    std::istringstream in(ReadWhole(file));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Sets (or, with nullopt, removes) an environment variable of this process, which the
// programs it starts inherit, until the end of the scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : FName(Widen(name)) {
        FOld = EnvironmentValue(name);
        Set(value);
    }
    ~ScopedVariable() { Set(FOld); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    void Set(const std::optional<std::string>& value) {
        SetEnvironmentVariableW(FName.c_str(), value ? Widen(*value).c_str() : nullptr);
    }
    std::wstring FName;
    std::optional<std::string> FOld;
};

struct RunResult {
    DWORD exitCode = 0xFFFFFFFF;
    long long milliseconds = 0;
};

// Starts `commandLine` exactly as written (no quoting is added or taken away), the
// way the installer's shell call hands the package its parameters.
UniqueHandle Start(const std::string& commandLine) {
    std::wstring text = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
        return nullptr;
    }
    CloseHandle(process.hThread);
    return UniqueHandle(process.hProcess);
}

DWORD WaitForExit(HANDLE process, DWORD timeoutMs = 60000) {
    DWORD code = 0xFFFFFFFF;
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the program did not end within " << timeoutMs << " ms";
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
    }
    GetExitCodeProcess(process, &code);
    return code;
}

RunResult RunProgram(const std::string& commandLine) {
    RunResult result;
    const auto start = std::chrono::steady_clock::now();
    const UniqueHandle process = Start(commandLine);
    if (!process) return result;
    result.exitCode = WaitForExit(process.get());
    result.milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    return result;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string DesktopShortcut() { return ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + kBrowserShortcutName; }
std::string TaskbarShortcut() {
    return ShellFolder(CSIDL_APPDATA) + "\\" + kTaskbarPinFolder + "\\" + kBrowserShortcutName;
}

// The target of a shell link, read through the shell's link object.
std::string ShellLinkTarget(const std::string& linkFile) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(Widen(linkFile).c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = Narrow(path);
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

// The path in a shell command: the text inside a leading pair of quotes, as the
// installer's default-browser detection takes it.
std::string CommandPath(const std::string& command) {
    if (command.size() < 2 || command[0] != '"') return command;
    return command.substr(1, command.find('"', 1) - 1);
}

bool SamePath(const std::string& a, const std::string& b) {
    return CompareStringOrdinal(Widen(a).c_str(), -1, Widen(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Everything the demo programs may leave in the prefix.
void RemoveDemoTraces() {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) DeleteRegTree(HKEY_LOCAL_MACHINE, kUninstallKey, view);
    DeleteRegValue(HKEY_CURRENT_USER, kProductKey, kInstallFinishedValue);
    DeleteRegTree(HKEY_CURRENT_USER, kDemoRecordKey);
    for (const char* scheme : {"http", "https"})
        DeleteRegTree(HKEY_CURRENT_USER, kUserChoiceKey + scheme + "\\UserChoice");
    DeleteRegTree(HKEY_CURRENT_USER, std::string("Software\\Classes\\") + kBrowserProgId);
    DeleteRegTree(HKEY_CURRENT_USER, "Software\\Clients\\StartMenuInternet");
    DeleteRegValue(HKEY_CURRENT_USER, "Software\\RegisteredApplications", kStartMenuClientName);
    std::error_code ignored;
    fs::remove(Utf8Path(DesktopShortcut()), ignored);
    fs::remove(Utf8Path(TaskbarShortcut()), ignored);
}

class DemoPackage : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(DemoDir() + "DemoSetup.exe")) << DemoDir();
        RemoveDemoTraces();
        // A folder with blanks, given with a trailing backslash: the installer's form.
        FRoot = PathUtf8(fs::temp_directory_path()) + "qarto demo " + std::to_string(GetCurrentProcessId());
        FInstallDir = FRoot + "\\Qarto Private Browser\\";
        fs::remove_all(Utf8Path(FRoot));
    }
    void TearDown() override {
        RemoveDemoTraces();
        std::error_code ignored;
        fs::remove_all(Utf8Path(FRoot), ignored);
    }

    std::string SetupCommandLine(const std::string& program, const std::string& extra) const {
        return Quoted(program) + " /sp- /verysilent /suppressmsgboxes /NORESTART /DIR=" + Quoted(FInstallDir) +
               (extra.empty() ? "" : " " + extra);
    }
    std::string Browser() const { return FInstallDir + kBrowserExeName; }
    std::optional<DWORD> InstallFinished() const {
        return ReadRegDword(HKEY_CURRENT_USER, kProductKey, kInstallFinishedValue);
    }
    std::string SetupResult() const {
        return ReadRegString(HKEY_CURRENT_USER, kDemoRecordKey, kSetupResultValue).value_or("");
    }
    // The built programs copied into the install folder, as the package would leave them.
    void PlaceBuiltPrograms() const {
        fs::create_directories(Utf8Path(FInstallDir));
        for (const char* name : {kBrowserExeName, kInitExeName})
            fs::copy_file(Utf8Path(DemoDir() + name), Utf8Path(FInstallDir + name));
    }

    // Installation settings for the package's run: instant unless a test says otherwise.
    ScopedVariable FSeconds{kSetupSecondsVariable, "0"};
    ScopedVariable FFail{kSetupFailVariable, std::nullopt};
    ScopedVariable FBrowserSeconds{kBrowserSecondsVariable, std::nullopt};
    std::string FRoot, FInstallDir;
};

// --- DemoSetup.exe: the switches the installer passes ---------------------------

struct InstallCase {
    const char* name;
    const char* switches;  // after /DIR="..."
    bool desktopIcon, taskbar;
    const char* read;  // the package's record of its switches, after "dir=<folder> "
};

class DemoSetupInstalls : public DemoPackage, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(DemoSetupInstalls, LeavesWhatTheInstallerReads) {
    const InstallCase& c = GetParam();
    const std::string commandLine = SetupCommandLine(DemoDir() + "DemoSetup.exe", c.switches);
    EXPECT_EQ(RunProgram(commandLine).exitCode, 0u) << SetupResult();
    EXPECT_EQ(SetupResult(), "installed");

    for (const char* name : {kBrowserExeName, kInitExeName}) {
        EXPECT_EQ(ReadWhole(FInstallDir + name), ReadWhole(DemoDir() + name)) << name << " differs from the build";
    }
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", KEY_WOW64_32KEY), FInstallDir);
    EXPECT_FALSE(ReadRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", KEY_WOW64_64KEY))
        << "the 32-bit package's key must be in the 32-bit view only";
    EXPECT_EQ(InstallFinished(), 1u);
    const auto recorded = Lines(FInstallDir + kSetupCommandLineFile);
    ASSERT_FALSE(recorded.empty());
    EXPECT_EQ(recorded.back(), commandLine);
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kDemoRecordKey, kSetupSwitchesValue),
              "dir=" + FInstallDir + " " + c.read);
    EXPECT_EQ(Lines(FInstallDir + kSetupSha256File),
              std::vector<std::string>{FileSha256Hex(DemoDir() + "DemoSetup.exe")});

    EXPECT_EQ(FileExists(DesktopShortcut()), c.desktopIcon);
    if (c.desktopIcon) {
        EXPECT_TRUE(SamePath(ShellLinkTarget(DesktopShortcut()), Browser()));
    }
    EXPECT_EQ(FileExists(TaskbarShortcut()), c.taskbar);
    if (c.taskbar) {
        EXPECT_TRUE(SamePath(ShellLinkTarget(TaskbarShortcut()), Browser()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, DemoSetupInstalls,
    ::testing::Values(InstallCase{"DesktopIconAndTaskbar", "/TASKS=\"desktopicon\" /CreateTaskbar", true, true,
                                  "desktopicon=1 taskbar=1 bookmark=0 insur="},
                      InstallCase{"EmptyTaskList", "/TASKS=\"\"", false, false,
                                  "desktopicon=0 taskbar=0 bookmark=0 insur="},
                      InstallCase{"SourceAndBookmark", "/insur=abc /BookMark /TASKS=\"\"", false, false,
                                  "desktopicon=0 taskbar=0 bookmark=1 insur=abc"},
                      InstallCase{"SwitchCaseIgnored", "/tasks=\"DesktopIcon\" /createtaskbar", true, true,
                                  "desktopicon=1 taskbar=1 bookmark=0 insur="}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// The package's record of which file ran: known answers (FIPS 180-2), one of them
// longer than a read, taken while another handle holds the file for reading only, as
// the installer holds the package it starts.
TEST(DemoFileSha256, KnownAnswersWhileTheFileIsHeldForReading) {
    struct Case {
        std::string bytes;
        const char* sha256;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    const std::string file =
        PathUtf8(fs::temp_directory_path()) + "qarto-sha256-" + std::to_string(GetCurrentProcessId()) + ".bin";
    for (const Case& c : cases) {
        std::ofstream(Utf8Path(file), std::ios::binary | std::ios::trunc) << c.bytes;
        const UniqueHandle held(CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(FileSha256Hex(file), c.sha256) << c.bytes.size() << " bytes";
    }
    std::error_code ignored;
    fs::remove(Utf8Path(file), ignored);
    EXPECT_THROW(FileSha256Hex(file), DemoError);
}

struct RefusedCase {
    const char* name;
    const char* arguments;  // everything after the program; {DIR} is the install folder
    const char* reason;     // the start of the recorded reason
};

class DemoSetupRefuses : public DemoPackage, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(DemoSetupRefuses, ACommandLineItDoesNotTake) {
    const RefusedCase& c = GetParam();
    std::string arguments = c.arguments;
    if (const auto at = arguments.find("{DIR}"); at != std::string::npos) arguments.replace(at, 5, FInstallDir);
    SetRegDword(HKEY_CURRENT_USER, kProductKey, kInstallFinishedValue, 1);  // an earlier success

    EXPECT_EQ(RunProgram(Quoted(DemoDir() + "DemoSetup.exe") + " " + arguments).exitCode, 2u);
    EXPECT_EQ(SetupResult().rfind(std::string("refused: ") + c.reason, 0), 0u) << SetupResult();
    EXPECT_FALSE(InstallFinished());
    EXPECT_FALSE(FileExists(Browser()));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, DemoSetupRefuses,
    ::testing::Values(
        RefusedCase{"NoVerySilent", "/sp- /suppressmsgboxes /NORESTART /DIR=\"{DIR}\"", "missing /verysilent"},
        RefusedCase{"UnknownSwitch", "/sp- /verysilent /SILENT /suppressmsgboxes /NORESTART /DIR=\"{DIR}\"",
                    "unknown switch /SILENT"},
        RefusedCase{"NoFolder", "/sp- /verysilent /suppressmsgboxes /NORESTART /TASKS=\"\"", "missing /DIR="},
        RefusedCase{"RelativeFolder", "/sp- /verysilent /suppressmsgboxes /NORESTART /DIR=\"Qarto\\\"",
                    "/DIR= is not an absolute folder"},
        RefusedCase{"UnknownTask",
                    "/sp- /verysilent /suppressmsgboxes /NORESTART /DIR=\"{DIR}\" /TASKS=\"quicklaunchicon\"",
                    "unknown task"},
        RefusedCase{"ExtraArgument", "/sp- /verysilent /suppressmsgboxes /NORESTART /DIR=\"{DIR}\" extra",
                    "unknown switch extra"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// --- DemoSetup.exe: duration and failure -----------------------------------------

struct SettingsCase {
    const char* name;
    const char* trailer;  // appended to a copy of the package, or nullptr
    std::optional<std::string> seconds, fail;  // the environment variables
    DWORD exitCode;
    long long minMs, maxMs;
};

class DemoSetupSettings : public DemoPackage, public ::testing::WithParamInterface<SettingsCase> {};

TEST_P(DemoSetupSettings, TakesItsTimeOrFailsAsTold) {
    const SettingsCase& c = GetParam();
    // The package as the installer runs it: downloaded under another name.
    fs::create_directories(Utf8Path(FRoot));
    const std::string package = FRoot + "\\ZYR_Setup.exe";
    fs::copy_file(Utf8Path(DemoDir() + "DemoSetup.exe"), Utf8Path(package));
    if (c.trailer) std::ofstream(Utf8Path(package), std::ios::binary | std::ios::app) << c.trailer;
    SetRegDword(HKEY_CURRENT_USER, kProductKey, kInstallFinishedValue, 1);  // an earlier success

    const ScopedVariable seconds(kSetupSecondsVariable, c.seconds), fail(kSetupFailVariable, c.fail);
    const RunResult result = RunProgram(SetupCommandLine(package, "/TASKS=\"\""));
    EXPECT_EQ(result.exitCode, c.exitCode) << SetupResult();
    EXPECT_GE(result.milliseconds, c.minMs);
    EXPECT_LT(result.milliseconds, c.maxMs);
    if (c.exitCode == 0) {
        EXPECT_EQ(InstallFinished(), 1u);
        EXPECT_TRUE(FileExists(Browser()));
    } else {
        EXPECT_EQ(SetupResult(), "failed: told to fail");
        EXPECT_FALSE(InstallFinished()) << "a failed run must not leave the earlier success";
        EXPECT_FALSE(FileExists(Browser()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DemoSetupSettings,
    ::testing::Values(SettingsCase{"DefaultThreeSeconds", nullptr, std::nullopt, std::nullopt, 0, 3000, 20000},
                      SettingsCase{"FailFromEnvironment", nullptr, "0", "1", 1, 0, 15000},
                      SettingsCase{"TrailerSeconds", "\nQARTO-DEMO-SETUP seconds=2\n", std::nullopt, std::nullopt, 0,
                                   2000, 15000},
                      SettingsCase{"TrailerFails", "\nQARTO-DEMO-SETUP seconds=1 fail=1\n", std::nullopt,
                                   std::nullopt, 1, 1000, 15000},
                      SettingsCase{"EnvironmentOverTrailer", "\nQARTO-DEMO-SETUP seconds=30 fail=1\n", "0", "0", 0,
                                   0, 15000},
                      // Only the file's last line counts: a marker further up is not a setting.
                      SettingsCase{"MarkerNotLastLine", "\nQARTO-DEMO-SETUP fail=1\nmore\n", "0", std::nullopt, 0,
                                   0, 15000}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// --- zyRInit.exe --------------------------------------------------------------------

TEST_F(DemoPackage, ZyRInitMakesTheBrowserTheUsersWebHandler) {
    PlaceBuiltPrograms();
    const std::string commandLine =
        Quoted(FInstallDir + kInitExeName) + " /DefaultBrowser /installdir=" + Quoted(FInstallDir);
    EXPECT_EQ(RunProgram(commandLine).exitCode, 0u)
        << ReadRegString(HKEY_CURRENT_USER, kDemoRecordKey, kInitResultValue).value_or("");

    // Windows 8 and later: the user's choice names a class whose command starts the browser.
    for (const std::string scheme : {"http", "https"}) {
        const auto progId = ReadRegString(HKEY_CURRENT_USER, kUserChoiceKey + scheme + "\\UserChoice", "ProgId");
        ASSERT_TRUE(progId) << scheme;
        const std::string classKey = "Software\\Classes\\" + *progId;
        const auto command = ReadRegString(HKEY_CURRENT_USER, classKey + "\\shell\\open\\command", "");
        ASSERT_TRUE(command) << scheme;
        EXPECT_TRUE(SamePath(CommandPath(*command), Browser())) << *command;
        EXPECT_NE(command->find("%1"), std::string::npos) << "the address must reach the browser";
        const auto appId = ReadRegString(HKEY_CURRENT_USER, classKey + "\\Application", "AppUserModelID");
        EXPECT_FALSE(appId && appId->rfind("Microsoft.MicrosoftEdge", 0) == 0);
    }
    // Vista and 7: the user's start-menu internet client and its command.
    const auto client = ReadRegString(HKEY_CURRENT_USER, "Software\\Clients\\StartMenuInternet", "");
    ASSERT_TRUE(client);
    const auto clientCommand = ReadRegString(
        HKEY_CURRENT_USER, "Software\\Clients\\StartMenuInternet\\" + *client + "\\shell\\open\\command", "");
    ASSERT_TRUE(clientCommand);
    EXPECT_TRUE(SamePath(CommandPath(*clientCommand), Browser())) << *clientCommand;

    const auto recorded = Lines(FInstallDir + kInitCommandLineFile);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0], commandLine);
}

TEST_F(DemoPackage, ZyRInitRegistersNothingWithoutTheBrowserOrTheSwitch) {
    PlaceBuiltPrograms();
    const std::string init = Quoted(FInstallDir + kInitExeName);
    const std::string elsewhere = FRoot + "\\empty\\";
    fs::create_directories(Utf8Path(elsewhere));
    EXPECT_EQ(RunProgram(init + " /DefaultBrowser /installdir=" + Quoted(elsewhere)).exitCode, 1u);
    EXPECT_EQ(RunProgram(init + " /installdir=" + Quoted(FInstallDir)).exitCode, 2u);
    EXPECT_EQ(RunProgram(init + " /DefaultBrowser /installdir=" + Quoted(FInstallDir) + " /Other").exitCode, 2u);
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, kUserChoiceKey + "http\\UserChoice", "ProgId"));
    EXPECT_EQ(Lines(FInstallDir + kInitCommandLineFile).size(), 3u) << "every start is recorded";
}

// --- QartoBrowser.exe ----------------------------------------------------------------

struct WindowSearch {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[128] = {};
    GetWindowTextW(window, title, 128);
    if (owner == search->processId && IsWindowVisible(window) && Narrow(title) == kProductName) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(HANDLE process, int seconds) {
    WindowSearch search{GetProcessId(process)};
    for (int i = 0; i < seconds * 10 && !search.found; ++i) {
        EnumWindows(&FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(100);
    }
    return search.found;
}

TEST_F(DemoPackage, BrowserShowsAndRecordsEachCommandLine) {
    PlaceBuiltPrograms();
    const std::string link = "https://127.0.0.1:9/appgoto?name=zyr&ver=3.1.0.5&lan=en&to=install&ref=zyrInstall";
    const std::string first = Quoted(Browser()) + " /InstallerStart " + Quoted(link);
    const UniqueHandle process = Start(first);
    ASSERT_TRUE(process);
    HWND window = WaitForWindow(process.get(), 30);
    ASSERT_NE(window, nullptr) << "no browser window";
    HWND text = FindWindowExW(window, nullptr, L"EDIT", nullptr);
    ASSERT_NE(text, nullptr);
    // WM_GETTEXT itself: GetWindowText does not ask another process's controls.
    std::wstring shown(4096, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(text, WM_GETTEXT, shown.size(), reinterpret_cast<LPARAM>(shown.data()), SMTO_ABORTIFHUNG,
                        5000, &length);
    shown.resize(length);
    EXPECT_NE(Narrow(shown).find(first), std::string::npos) << Narrow(shown);
    EXPECT_NE(Narrow(shown).find("2.  " + link), std::string::npos) << "the link as the browser's own argument";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(process.get(), 15000), 0u);

    // Started without parameters (the "Status" = 5 case), closing itself.
    const ScopedVariable closeAfter(kBrowserSecondsVariable, "1");
    const RunResult second = RunProgram(Quoted(Browser()));
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_GE(second.milliseconds, 1000);

    EXPECT_EQ(Lines(FInstallDir + kBrowserCommandLineFile), (std::vector<std::string>{first, Quoted(Browser())}));
}

TEST_F(DemoPackage, SetupReplacesARunningBrowser) {
    PlaceBuiltPrograms();
    const UniqueHandle browser = Start(Quoted(Browser()));
    ASSERT_TRUE(browser);
    HWND window = WaitForWindow(browser.get(), 30);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(RunProgram(SetupCommandLine(DemoDir() + "DemoSetup.exe", "/TASKS=\"\"")).exitCode, 0u)
        << SetupResult();
    EXPECT_EQ(InstallFinished(), 1u);
    EXPECT_EQ(ReadWhole(Browser()), ReadWhole(DemoDir() + kBrowserExeName));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(browser.get(), 15000), 0u);
}

TEST_F(DemoPackage, BrowserCarriesItsVersion) {
    const auto record = WindowsVersionResources().Read(DemoDir() + kBrowserExeName);
    ASSERT_TRUE(record);
    ASSERT_TRUE(record->hasFixedFileVersion);
    EXPECT_EQ(record->fixedFileVersion, (std::array<std::uint16_t, 4>{3, 1, 0, 5}));
    EXPECT_EQ(record->strings[3], "3.1.0.5");                // FileVersion
    EXPECT_EQ(record->strings[8], "Qarto Private Browser");  // ProductName
}

}  // namespace
