#include "services/SystemInfo.h"

#include <gtest/gtest.h>

#include "services/AppFrame.h"
#include "tests/unit/FakeOs.h"

namespace {

struct SpecialFolderCase {
    const char* name;
    int csidl;
    std::string shellAnswer;
    std::map<std::string, std::string> env;
    bool wow64;
    unsigned windowsMajor;
    std::string expected;
};

void PrintTo(const SpecialFolderCase& c, std::ostream* out) { *out << c.name; }

class SpecialFolderFallback : public ::testing::TestWithParam<SpecialFolderCase> {};

TEST_P(SpecialFolderFallback, GivesExpectedFolder) {
    const auto& c = GetParam();
    FakeOs os;
    if (!c.shellAnswer.empty()) os.shell.folders[c.csidl] = c.shellAnswer;
    os.system.env = c.env;
    os.system.windows64 = c.wow64;
    os.system.version.major = c.windowsMajor;
    EXPECT_EQ(GetSpecialFolder(os.services, c.csidl), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpecialFolderFallback,
    ::testing::Values(
        SpecialFolderCase{"ShellAnswerUsed", Csidl::ProgramFiles, "D:\\Apps", {}, true, 10, "D:\\Apps"},
        SpecialFolderCase{"BareDriveOnWow64UsesX86Variable", Csidl::ProgramFiles, "C:",
                          {{"ProgramFiles(x86)", "C:\\Program Files (x86)"}, {"ProgramFiles", "C:\\Program Files"}},
                          true, 10, "C:\\Program Files (x86)"},
        SpecialFolderCase{"EnvironmentValueTrimmed", Csidl::ProgramFiles, "",
                          {{"ProgramFiles", "  E:\\PF \t"}}, false, 10, "E:\\PF"},
        SpecialFolderCase{"ProgramFilesConstructedOnWow64", Csidl::ProgramFiles, "", {}, true, 10,
                          "C:\\Program Files (x86)"},
        SpecialFolderCase{"CommonFilesConstructed", Csidl::ProgramFilesCommon, "", {}, false, 10,
                          "C:\\Program Files\\Common Files"},
        SpecialFolderCase{"CommonFilesFromX86Variable", Csidl::ProgramFilesCommon, "",
                          {{"CommonProgramFiles(x86)", "C:\\CF86"}}, true, 10, "C:\\CF86"},
        SpecialFolderCase{"ProfileFromEnvironment", Csidl::Profile, "", {{"USERPROFILE", "C:\\Users\\bob"}}, true, 10,
                          "C:\\Users\\bob"},
        SpecialFolderCase{"ProfileOnXp", Csidl::Profile, "", {}, false, 5, "C:\\Documents and Settings\\alice"},
        SpecialFolderCase{"RoamingConstructed", Csidl::AppData, "", {}, true, 6, "C:\\Users\\alice\\AppData\\Roaming"},
        SpecialFolderCase{"LocalOnXp", Csidl::LocalAppData, "", {}, false, 5,
                          "C:\\Documents and Settings\\alice\\Local Settings\\Application Data"},
        SpecialFolderCase{"LocalFromEnvironment", Csidl::LocalAppData, "", {{"LOCALAPPDATA", "C:\\L"}}, true, 10,
                          "C:\\L"},
        SpecialFolderCase{"CommonAppDataConstructed", Csidl::CommonAppData, "", {}, true, 10, "C:\\ProgramData"},
        SpecialFolderCase{"CommonAppDataOnXp", Csidl::CommonAppData, "", {}, false, 5,
                          "C:\\Documents and Settings\\All Users\\Application Data"},
        SpecialFolderCase{"OtherFolderHasNoFallback", Csidl::DesktopDirectory, "C:", {{"USERPROFILE", "x"}}, true, 10,
                          "C:"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(UserFolder, ProgramFiles64DropsX86SuffixWithoutRegardToCase) {
    FakeOs os;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
    EXPECT_EQ(GetUserFolder(os.services, kUserFolderProgramFiles64), "C:\\Program Files");
    os.shell.folders[Csidl::ProgramFiles] = "D:\\PROGRAMME (X86)";
    EXPECT_EQ(GetUserFolder(os.services, kUserFolderProgramFiles64), "D:\\PROGRAMME");
    // 32-bit Windows: nothing to remove.
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files";
    EXPECT_EQ(GetUserFolder(os.services, kUserFolderProgramFiles64), "C:\\Program Files");
}

TEST(UserFolder, DesktopAndUnknownKinds) {
    FakeOs os;
    os.shell.folders[Csidl::DesktopDirectory] = "C:\\Users\\alice\\Desktop";
    EXPECT_EQ(GetUserFolder(os.services, kUserFolderDesktop), "C:\\Users\\alice\\Desktop");
    EXPECT_EQ(GetUserFolder(os.services, 12345), "");
}

TEST(CommonFolder, MapsKindsAndRejectsOthers) {
    FakeOs os;
    os.shell.folders[Csidl::CommonAppData] = "C:\\ProgramData";
    os.shell.folders[Csidl::CommonStartMenu] = "C:\\Start";
    os.shell.folders[Csidl::CommonVideo] = "C:\\Videos";
    EXPECT_EQ(GetCommonFolder(os.services, 0), "C:\\ProgramData");
    EXPECT_EQ(GetCommonFolder(os.services, 3), "C:\\Start");
    EXPECT_EQ(GetCommonFolder(os.services, 5), "C:\\Start");
    EXPECT_EQ(GetCommonFolder(os.services, 12), "C:\\Videos");
    EXPECT_EQ(GetCommonFolder(os.services, 13), "");
    EXPECT_EQ(GetCommonFolder(os.services, -1), "");
}

TEST(AppFrame, TakesExistingShellFolders) {
    FakeOs os;
    os.shell.folders[Csidl::AppData] = "C:\\Users\\alice\\AppData\\Roaming";
    os.shell.folders[Csidl::CommonAppData] = "C:\\ProgramData";
    os.system.directories = {"C:\\Users\\alice\\AppData\\Roaming", "C:\\ProgramData"};
    os.system.programPath = "C:\\Users\\alice\\Downloads\\Setup.exe";
    TAppFrame frame(os.services);
    EXPECT_EQ(frame.AppDataDir, "C:\\Users\\alice\\AppData\\Roaming");
    EXPECT_EQ(frame.CommonAppDataDir, "C:\\ProgramData");
    EXPECT_EQ(frame.ProgramDir, "C:\\Users\\alice\\Downloads\\");
}

TEST(AppFrame, FallsBackToRegistryThenToConstructedPaths) {
    FakeOs os;
    const std::string shellFolders = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    // The shell names a folder that is gone: the registry value is next.
    os.shell.folders[Csidl::CommonAppData] = "C:\\Gone";
    os.registry.values[{RegistryRoot::LocalMachine, shellFolders, "Common AppData"}] = "D:\\AllUsers";
    os.system.directories = {"D:\\AllUsers"};
    // The user's registry value names no existing folder: the constructed path wins.
    os.registry.values[{RegistryRoot::CurrentUser, shellFolders, "AppData"}] = "D:\\Missing";
    os.system.version.major = 5;
    TAppFrame frame(os.services);
    EXPECT_EQ(frame.CommonAppDataDir, "D:\\AllUsers");
    EXPECT_EQ(frame.AppDataDir, "C:\\Documents and Settings\\alice\\Application Data");

    os.system.directories.clear();
    os.system.version.major = 6;
    EXPECT_EQ(TAppFrame(os.services).CommonAppDataDir, "C:\\ProgramData");
    EXPECT_EQ(TAppFrame(os.services).AppDataDir, "C:\\Users\\alice\\AppData\\Roaming");
}

TEST(VersionInfo, StringAndNumericForms) {
    FakeOs os;
    FileVersionRecord record;
    record.strings[kVersionIndexFileVersion] = "3, 1, 0, 5";
    record.strings[8] = "Qarto Private Browser";
    record.fixedFileVersion = {3, 1, 0, 5};
    record.hasFixedFileVersion = true;
    os.versions.records["C:\\app.exe"] = record;

    EXPECT_EQ(GetVersionString(os.services, "C:\\app.exe", 3, "3.0.0.0"), "3, 1, 0, 5");
    EXPECT_EQ(GetNumericVersion(os.services, "C:\\app.exe", 3, "3.0.0.0"), "3.1.0.5");
    EXPECT_EQ(GetNumericVersion(os.services, "C:\\app.exe", 8, "-"), "Qarto Private Browser");
    EXPECT_EQ(GetVersionString(os.services, "C:\\app.exe", 11, "def"), "def");
    EXPECT_EQ(GetVersionString(os.services, "C:\\none.exe", 3, "3.0.0.0"), "3.0.0.0");
    // A resource without the string gives the caller's default; an empty one is kept.
    EXPECT_EQ(GetVersionString(os.services, "C:\\app.exe", 0, "def"), "def");
    os.versions.records["C:\\app.exe"].strings[0] = "";
    EXPECT_EQ(GetVersionString(os.services, "C:\\app.exe", 0, "def"), "");
    EXPECT_EQ(GetNumericVersion(os.services, "C:\\none.exe", 3, "3.0.0.0"), "3.0.0.0");
}

TEST(Guid, RegistryFormFromMemoryOrder) {
    // {00112233-4455-6677-8899-AABBCCDDEEFF}: the first three fields are little-endian in memory.
    std::array<std::uint8_t, 16> bytes = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                          0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
    EXPECT_EQ(FormatGuid(bytes), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
    FakeOs os;
    EXPECT_EQ(NewGuidString(os.services), "");
    os.system.guid = bytes;
    EXPECT_EQ(NewGuidString(os.services), "{00112233-4455-6677-8899-AABBCCDDEEFF}");
}

// OpenUrl: which programs the shell is asked to open, in order.
struct OpenUrlCase {
    const char* name;
    WindowsVersion version;
    bool shellBreakerInstalled;
    std::vector<std::intptr_t> shellResults;
    bool iexploreInProgramFiles;
    std::string appPath;
    std::vector<std::pair<std::string, std::string>> expectedCalls;  // file, parameters
};

void PrintTo(const OpenUrlCase& c, std::ostream* out) { *out << c.name; }

class OpenUrlFallback : public ::testing::TestWithParam<OpenUrlCase> {};

TEST_P(OpenUrlFallback, OpensWithExpectedPrograms) {
    const auto& c = GetParam();
    const std::string url = "https://example.invalid/eula";
    FakeOs os;
    os.system.version = c.version;
    os.shell.results = c.shellResults;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
    if (c.shellBreakerInstalled)
        os.registry.keys.insert({RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MPC"});
    if (c.iexploreInProgramFiles) os.system.files.insert("C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe");
    if (!c.appPath.empty())
        os.registry.values[{RegistryRoot::LocalMachine,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", ""}] = c.appPath;

    OpenUrl(os.services, url);

    std::vector<std::pair<std::string, std::string>> calls;
    for (const auto& r : os.shell.executed) calls.emplace_back(r.file, r.parameters);
    std::vector<std::pair<std::string, std::string>> expected;
    for (const auto& [file, params] : c.expectedCalls) expected.emplace_back(file, params == "URL" ? url : params);
    EXPECT_EQ(calls, expected);
}

const std::string kUrl = "https://example.invalid/eula";
INSTANTIATE_TEST_SUITE_P(
    Cases, OpenUrlFallback,
    ::testing::Values(
        OpenUrlCase{"ShellOpens", {10, 0, 19045}, false, {42}, false, "", {{kUrl, ""}}},
        OpenUrlCase{"BreakerOnNewWindows10GoesToIE", {10, 0, 10586}, true, {42}, true, "",
                    {{"C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe", "URL"}}},
        OpenUrlCase{"BreakerWithoutIEUsesShell", {10, 0, 10586}, true, {42}, false, "", {{kUrl, ""}}},
        OpenUrlCase{"BreakerOnOldBuildUsesShell", {10, 0, 10240}, true, {42}, true, "", {{kUrl, ""}}},
        OpenUrlCase{"BreakerOnWindows7UsesShell", {6, 1, 7601}, true, {42}, true, "", {{kUrl, ""}}},
        OpenUrlCase{"DdeFailureCountsAsOpened", {10, 0, 19045}, false, {29}, false, "", {{kUrl, ""}}},
        OpenUrlCase{"FailureUsesIEFromProgramFiles", {10, 0, 19045}, false, {2, 42}, true, "D:\\ie.exe",
                    {{kUrl, ""}, {"C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe", "URL"}}},
        OpenUrlCase{"FailureUsesIEAppPath", {10, 0, 19045}, false, {31, 42}, false, "D:\\ie.exe",
                    {{kUrl, ""}, {"D:\\ie.exe", "URL"}}},
        // Never a program by bare or relative name: the current folder would be searched.
        OpenUrlCase{"FailureWithoutIEPathStartsNothingElse", {10, 0, 19045}, false, {0, 42}, false, "",
                    {{kUrl, ""}}},
        OpenUrlCase{"RelativeAppPathIsNotTaken", {10, 0, 19045}, false, {0, 42}, false, "IExplore.EXE",
                    {{kUrl, ""}}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// The programs that break the shell are 32-bit ones: the installer sees their
// uninstall keys in the 32-bit view, and a 64-bit registration does not count.
TEST(OpenUrl, LooksForShellBreakersInThe32BitView) {
    const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\iSafe";
    const std::string iexplore = "C:\\Program Files (x86)\\Internet Explorer\\iexplore.exe";
    for (RegistryView view : {RegistryView::Bits32, RegistryView::Bits64}) {
        FakeOs os;
        os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
        os.system.files.insert(iexplore);
        os.registry.viewKeys.insert({view, RegistryRoot::LocalMachine, key});
        OpenUrl(os.services, "https://example.invalid/");
        ASSERT_EQ(os.shell.executed.size(), 1u);
        EXPECT_EQ(os.shell.executed[0].file, view == RegistryView::Bits32 ? iexplore : "https://example.invalid/");
    }
}

TEST(OpenUrl, ErrorFallsBackToIEByItsFullPath) {
    FakeOs os;
    os.shell.throwOnFirstExecute = true;
    os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files";
    os.system.files.insert("C:\\Program Files\\Internet Explorer\\iexplore.exe");
    OpenUrl(os.services, "https://example.invalid/");
    ASSERT_EQ(os.shell.executed.size(), 2u);
    EXPECT_EQ(os.shell.executed[1].file, "C:\\Program Files\\Internet Explorer\\iexplore.exe");
    EXPECT_EQ(os.shell.executed[1].parameters, "https://example.invalid/");
}

// From an elevated token the page opens through the desktop shell (the user's
// rights), and a shell that cannot take it is not replaced by an elevated start.
TEST(OpenUrl, ElevatedInstallerOpensPagesThroughTheDesktopShellOnly) {
    for (bool shellTakes : {true, false}) {
        FakeOs os;
        os.shell.elevation = TokenElevationKind::Full;
        os.shell.desktopShellTakes = shellTakes;
        os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files";
        os.system.files.insert("C:\\Program Files\\Internet Explorer\\iexplore.exe");
        OpenUrl(os.services, "https://example.invalid/");
        EXPECT_TRUE(os.shell.executed.empty()) << "shell takes: " << shellTakes;
        ASSERT_EQ(os.shell.throughDesktopShell.size(), shellTakes ? 1u : 2u);
        EXPECT_EQ(os.shell.throughDesktopShell[0].file, "https://example.invalid/");
    }
}

}  // namespace
