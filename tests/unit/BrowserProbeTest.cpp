// Where the browser is installed, which edition, its user-data folder and version;
// and the COM set-up made at start-up.
#include "services/BrowserProbe.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "services/TaskSchedulerSupport.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

namespace {

class BrowserProbe : public ::testing::Test {
protected:
    BrowserProbe() {
        os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
        os.shell.folders[Csidl::Profile] = "C:\\Users\\Ann";
    }
    void SetInstallLocation(const std::string& folder, RegistryView view = RegistryView::Bits32) {
        os.registry.viewValues[{view, RegistryRoot::LocalMachine, kBrowserUninstallKey, "InstallLocation"}] = folder;
    }
    void WriteUpdateIni(const std::string& text) {
        fs::create_directories(dir.path() / "Update");
        std::ofstream(dir.path() / "Update" / "Update.ini", std::ios::binary) << text;
    }

    TempDir dir;
    FakeOs os;
    TBrowserProbe probe{os.services};
};

TEST_F(BrowserProbe, InstallFolderFromTheUninstallKeyOrProgramFiles) {
    EXPECT_EQ(probe.GetBrowserInstallDir(), "C:\\Program Files (x86)\\Qarto Private Browser\\");
    SetInstallLocation("D:\\Apps\\Qarto", RegistryView::Bits64);
    EXPECT_EQ(probe.GetBrowserInstallDir(), "C:\\Program Files (x86)\\Qarto Private Browser\\")
        << "the 32-bit installer's key is in the 32-bit view";
    SetInstallLocation("D:\\Apps\\Qarto");
    EXPECT_EQ(probe.GetBrowserInstallDir(), "D:\\Apps\\Qarto\\");
    SetInstallLocation("D:\\Apps\\Qarto\\");
    EXPECT_EQ(probe.GetBrowserInstallDir(), "D:\\Apps\\Qarto\\");
    SetInstallLocation("");
    EXPECT_EQ(probe.GetBrowserInstallDir(), "C:\\Program Files (x86)\\Qarto Private Browser\\");
}

TEST_F(BrowserProbe, BetaOnlyWhenUpdateIniSaysOne) {
    SetInstallLocation(dir.path().string());
    EXPECT_FALSE(probe.IsBetaBrowser());
    EXPECT_EQ(probe.GetBrowserUserDataDir(), "C:\\Users\\Ann\\AppData\\Local\\Qarto Private Browser\\User Data\\Default\\");
    WriteUpdateIni("[Beta]\r\nver1=1\r\n");
    EXPECT_TRUE(probe.IsBetaBrowser()) << "a missing file is looked for again";
    EXPECT_EQ(probe.GetBrowserUserDataDir(),
              "C:\\Users\\Ann\\AppData\\Local\\Qarto Private Browser Beta\\User Data\\Default\\");
    WriteUpdateIni("[Beta]\r\nver1=0\r\n");
    EXPECT_TRUE(probe.IsBetaBrowser()) << "once read, the answer is kept";

    for (const char* text : {"[Beta]\r\nver1=2\r\n", "[Beta]\r\nver1=yes\r\n", "[Other]\r\nver1=1\r\n", ""}) {
        TBrowserProbe fresh(os.services);
        WriteUpdateIni(text);
        EXPECT_FALSE(fresh.IsBetaBrowser()) << text;
        WriteUpdateIni("[Beta]\r\nver1=1\r\n");
        EXPECT_FALSE(fresh.IsBetaBrowser()) << "kept after reading: " << text;
    }
}

TEST_F(BrowserProbe, VersionIsTheBrowsersFixedFileVersion) {
    FileVersionRecord record;
    record.fixedFileVersion = {3, 1, 20, 5};
    record.hasFixedFileVersion = true;
    os.versions.records["D:\\Qarto\\QartoBrowser.exe"] = record;
    EXPECT_EQ(probe.GetInstalledBrowserVersion("D:\\Qarto"), "3.1.20.5");
    EXPECT_EQ(probe.GetInstalledBrowserVersion("D:\\Qarto\\"), "3.1.20.5");
    EXPECT_EQ(probe.GetInstalledBrowserVersion("D:\\Elsewhere"), "3.0.0.0");
    os.versions.records["C:\\Downloads\\QartoBrowser.exe"] = record;  // beside this program
    EXPECT_EQ(probe.GetInstalledBrowserVersion(""), "3.1.20.5");
    os.versions.records["D:\\Qarto\\QartoBrowser.exe"].hasFixedFileVersion = false;
    EXPECT_EQ(probe.GetInstalledBrowserVersion("D:\\Qarto"), "3.0.0.0");
}

class FakeCom : public ComRuntime {
public:
    bool initResult = true, securityResult = true;
    std::vector<std::string> calls;
    bool InitializeMultithreaded() override {
        calls.push_back("init");
        return initResult;
    }
    bool InitializeSecurity() override {
        calls.push_back("security");
        return securityResult;
    }
    void Uninitialize() override { calls.push_back("uninit"); }
};

TEST(TaskSchedulerSupport, SetsUpComFromVistaOnAndBalancesIt) {
    struct Case {
        WindowsVersion version;
        bool init, security;
        int generation;
        bool succeeded;
        std::vector<std::string> calls;
    } cases[] = {
        {{10, 0, 19045}, true, true, 2, true, {"init", "security", "uninit"}},
        {{6, 0, 6002}, true, true, 2, true, {"init", "security", "uninit"}},
        {{6, 1, 7601}, true, false, 2, false, {"init", "security", "uninit"}},
        {{6, 1, 7601}, false, true, 2, false, {"init", "security"}},  // never joined: nothing to leave
        {{5, 1, 2600}, true, true, 1, false, {}},
    };
    for (const Case& c : cases) {
        FakeCom com;
        com.initResult = c.init;
        com.securityResult = c.security;
        {
            TTaskSchedulerSupport support(com, c.version);
            EXPECT_EQ(support.Generation(), c.generation);
            EXPECT_EQ(support.Succeeded(), c.succeeded);
        }
        EXPECT_EQ(com.calls, c.calls) << c.version.major << "." << c.version.minor;
    }
}

}  // namespace
