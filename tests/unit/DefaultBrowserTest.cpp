// Default-browser detection: every path of the decision on Windows 10 (the user's
// choice), Windows 7 (StartMenuInternet, then the user's choice) and XP, with the
// registry and the file checks through the seam's doubles.
#include "services/uCEFGetDefaultBrowser.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/unit/FakeOs.h"

namespace {

constexpr const char* kUserChoice = "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice";
constexpr const char* kOwnExe = "C:\\Program Files (x86)\\Qarto Private Browser\\QartoBrowser.exe";
constexpr const char* kChromeExe = "C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe";
constexpr const char* kFirefoxExe = "C:\\Program Files\\Mozilla Firefox\\firefox.exe";
constexpr const char* kEdgeExe = "C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe";
constexpr const char* kOperaLauncher = "C:\\Users\\Ann\\AppData\\Local\\Programs\\Opera\\launcher.exe";
constexpr const char* kIeExe = "C:\\Program Files\\Internet Explorer\\iexplore.exe";

std::string Quoted(const std::string& path) { return "\"" + path + "\" -- \"%1\""; }

struct Machine {
    FakeOs os;
    void Default(RegistryRoot root, const std::string& key, const std::string& value) {
        os.registry.keys.insert({root, key});
        os.registry.values[{root, key, ""}] = value;
    }
    void Machine32(const std::string& key, const std::string& value) {
        os.registry.viewValues[{RegistryView::Bits32, RegistryRoot::LocalMachine, key, ""}] = value;
    }
    void UserChoice(const std::string& progId) {
        os.registry.values[{RegistryRoot::CurrentUser, kUserChoice, "ProgID"}] = progId;
    }
    // The ProgID's command in the user's classes (or, with `machine`, in HKCR only).
    void ProgIdCommand(const std::string& progId, const std::string& command, bool machine = false) {
        if (machine) Default(RegistryRoot::ClassesRoot, progId + "\\shell\\open\\command", command);
        else Default(RegistryRoot::CurrentUser, "Software\\Classes\\" + progId + "\\shell\\open\\command", command);
    }
    void Files(std::initializer_list<const char*> paths) {
        for (const char* p : paths) os.system.files.insert(p);
    }
};

struct Row {
    const char* name;
    WindowsVersion version;
    std::function<void(Machine&)> arrange;
    TBrowserKind expected;
};

const WindowsVersion kWin10{10, 0, 19045}, kWin81{6, 3, 9600}, kWin7{6, 1, 7601}, kXp{5, 1, 2600};

class DefaultBrowserRows : public ::testing::TestWithParam<Row> {};

TEST_P(DefaultBrowserRows, Decide) {
    Machine s;
    s.os.system.reportedVersion = GetParam().version;
    s.os.system.version = {10, 0, 19045};  // what the program is told is what counts
    s.Files({kOwnExe, kChromeExe, kFirefoxExe, kEdgeExe, kOperaLauncher});
    GetParam().arrange(s);
    EXPECT_EQ(BrowserKindName(GetDefaultBrowserKind(s.os.services, TBrowserKind::bkOther, "QartoBrowser.exe")),
              BrowserKindName(GetParam().expected));
    // Detection only reads.
    EXPECT_EQ(s.os.registry.writes, 0);
}

const Row kRows[] = {
    // ---- Windows 10 and 8.1: the user's choice
    {"Win10Own", kWin10, [](Machine& s) { s.UserChoice("QartoHTML"); s.ProgIdCommand("QartoHTML", Quoted(kOwnExe)); },
     TBrowserKind::bkOwn},
    {"Win10ChromeFromClassesRoot", kWin10,
     [](Machine& s) { s.UserChoice("ChromeHTML"); s.ProgIdCommand("ChromeHTML", Quoted(kChromeExe), true); },
     TBrowserKind::bkChrome},
    {"Win10ChromeMissingFile", kWin10,
     [](Machine& s) {
         s.os.system.files.erase(kChromeExe);
         s.UserChoice("ChromeHTML");
         s.ProgIdCommand("ChromeHTML", Quoted(kChromeExe));
     },
     TBrowserKind::bkOther},
    {"Win10EdgeLegacyReadsNoCommand", kWin10,
     [](Machine& s) {
         s.UserChoice("AppXq0fevzme2pys62n3e0fbqa7peapykr8v");
         s.os.registry.values[{RegistryRoot::CurrentUser,
                               "Software\\Classes\\AppXq0fevzme2pys62n3e0fbqa7peapykr8v\\Application",
                               "AppUserModelID"}] = "Microsoft.MicrosoftEdge_8wekyb3d8bbwe!MicrosoftEdge";
         s.ProgIdCommand("AppXq0fevzme2pys62n3e0fbqa7peapykr8v", Quoted(kChromeExe));
     },
     TBrowserKind::bkEdgeLegacy},
    {"Win10EdgeIdentityMustBeAtTheStart", kWin10,
     [](Machine& s) {
         s.UserChoice("Other");
         s.os.registry.values[{RegistryRoot::CurrentUser, "Software\\Classes\\Other\\Application", "AppUserModelID"}] =
             "Vendor.Microsoft.MicrosoftEdge";
         s.ProgIdCommand("Other", Quoted(kEdgeExe));
     },
     TBrowserKind::bkEdge},
    {"Win10UnquotedWithArguments", kWin10,
     [](Machine& s) { s.UserChoice("FirefoxURL"); s.ProgIdCommand("FirefoxURL", std::string(kFirefoxExe) + " -osint -url %1"); },
     TBrowserKind::bkOther},
    {"Win10UnquotedPathAlone", kWin10,
     [](Machine& s) { s.UserChoice("FirefoxURL"); s.ProgIdCommand("FirefoxURL", kFirefoxExe); },
     TBrowserKind::bkFirefox},
    {"Win10UnquotedInternetExplorer", kWin10,
     [](Machine& s) { s.UserChoice("IE.HTTP"); s.ProgIdCommand("IE.HTTP", std::string(kIeExe) + " %1"); },
     TBrowserKind::bkInternetExplorer},
    {"Win10OperaLauncher", kWin10,
     [](Machine& s) { s.UserChoice("OperaStable"); s.ProgIdCommand("OperaStable", Quoted(kOperaLauncher)); },
     TBrowserKind::bkOpera},
    {"Win10NoChoiceIgnoresHttpCommands", kWin10,
     [](Machine& s) {
         s.Default(RegistryRoot::CurrentUser, "Software\\Classes\\http\\shell\\open\\command", Quoted(kChromeExe));
         s.Default(RegistryRoot::ClassesRoot, "http\\shell\\open\\command", Quoted(kChromeExe));
     },
     TBrowserKind::bkOther},
    {"Win10UserKeyWithoutValueHidesClassesRoot", kWin10,
     [](Machine& s) {
         s.UserChoice("ChromeHTML");
         s.os.registry.keys.insert({RegistryRoot::CurrentUser, "Software\\Classes\\ChromeHTML\\shell\\open\\command"});
         s.ProgIdCommand("ChromeHTML", Quoted(kChromeExe), true);
     },
     TBrowserKind::bkOther},
    {"Win10EmptyQuotes", kWin10, [](Machine& s) { s.UserChoice("X"); s.ProgIdCommand("X", "  \"\" %1"); },
     TBrowserKind::bkOther},
    {"Win81Own", kWin81, [](Machine& s) { s.UserChoice("QartoHTML"); s.ProgIdCommand("QartoHTML", Quoted(kOwnExe)); },
     TBrowserKind::bkOwn},
    // ---- Windows 7: StartMenuInternet, per user before machine (32-bit view)
    {"Win7MachineClient", kWin7,
     [](Machine& s) {
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet", "Google Chrome");
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet\\Google Chrome\\shell\\open\\command", Quoted(kChromeExe));
     },
     TBrowserKind::bkChrome},
    {"Win7UserClientWins", kWin7,
     [](Machine& s) {
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet", "IEXPLORE.EXE");
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet\\IEXPLORE.EXE\\shell\\open\\command", Quoted(kIeExe));
         s.Default(RegistryRoot::CurrentUser, "SOFTWARE\\Clients\\StartMenuInternet", "Qarto");
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet\\Qarto\\shell\\open\\command", Quoted(kOwnExe));
     },
     TBrowserKind::bkOwn},
    {"Win7UserCommandWins", kWin7,
     [](Machine& s) {
         s.Default(RegistryRoot::CurrentUser, "SOFTWARE\\Clients\\StartMenuInternet", "Firefox");
         s.Default(RegistryRoot::CurrentUser, "SOFTWARE\\Clients\\StartMenuInternet\\Firefox\\shell\\open\\command",
                   Quoted(kFirefoxExe));
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet\\Firefox\\shell\\open\\command", Quoted(kChromeExe));
     },
     TBrowserKind::bkFirefox},
    {"Win7MachineKeyIn64BitViewIsNotSeen", kWin7,
     [](Machine& s) {
         s.os.registry.viewValues[{RegistryView::Bits64, RegistryRoot::LocalMachine,
                                   "SOFTWARE\\Clients\\StartMenuInternet", ""}] = "Google Chrome";
         s.os.registry.viewValues[{RegistryView::Bits64, RegistryRoot::LocalMachine,
                                   "SOFTWARE\\Clients\\StartMenuInternet\\Google Chrome\\shell\\open\\command", ""}] =
             Quoted(kChromeExe);
     },
     TBrowserKind::bkOther},
    {"Win7MissingFileFallsBackToTheHttpCommand", kWin7,
     [](Machine& s) {
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet", "Old");
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet\\Old\\shell\\open\\command", Quoted("C:\\gone\\old.exe"));
         s.Default(RegistryRoot::ClassesRoot, "http\\shell\\open\\command", Quoted(kFirefoxExe));
     },
     TBrowserKind::bkFirefox},
    {"Win7LastResortUsesTheUserChoice", kWin7,
     [](Machine& s) { s.UserChoice("ChromeHTML"); s.ProgIdCommand("ChromeHTML", Quoted(kChromeExe)); },
     TBrowserKind::bkChrome},
    {"Win7LegacyNamesNeedOperaExe", kWin7,
     [](Machine& s) {
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet", "OperaStable");
         s.Machine32("SOFTWARE\\Clients\\StartMenuInternet\\OperaStable\\shell\\open\\command", Quoted(kOperaLauncher));
     },
     TBrowserKind::bkOther},
    {"Win7Nothing", kWin7, [](Machine&) {}, TBrowserKind::bkOther},
    // ---- XP: the http command first
    {"XpHttpCommand", kXp,
     [](Machine& s) { s.Default(RegistryRoot::CurrentUser, "Software\\Classes\\http\\shell\\open\\command", Quoted(kFirefoxExe)); },
     TBrowserKind::bkFirefox},
    {"XpNothingNoUserChoice", kXp, [](Machine& s) { s.UserChoice("ChromeHTML"); s.ProgIdCommand("ChromeHTML", Quoted(kChromeExe)); },
     TBrowserKind::bkOther},
};

INSTANTIATE_TEST_SUITE_P(Rows, DefaultBrowserRows, ::testing::ValuesIn(kRows),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ExtractCommandPath, QuotedPathsLoseWhatFollows) {
    struct Case {
        const char* command;
        bool ok;
        const char* path;
    } cases[] = {{"\"C:\\a b\\x.exe\" -- \"%1\"", true, "C:\\a b\\x.exe"},
                 {"  \" C:\\x.exe \"", true, "C:\\x.exe"},
                 {"\"C:\\no end quote.exe %1", true, "C:\\no end quote.exe %1"},
                 {"C:\\x.exe %1", true, "C:\\x.exe %1"},
                 {"\"\" %1", false, ""},
                 {"   ", false, ""}};
    for (const Case& c : cases) {
        std::string command = c.command;
        EXPECT_EQ(ExtractCommandPath(command), c.ok) << c.command;
        if (c.ok) {
            EXPECT_EQ(command, c.path);
        }
    }
}

}  // namespace
