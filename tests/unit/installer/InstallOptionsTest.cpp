// The install actions of the main and options pages, the folder dialog and the
// path edit, through a recording view, and the user configuration file.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "Installer/Downloader/flow/InstallOptions.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/IniTestSupport.h"
#include "tests/unit/TempDir.h"

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

class RecordingView : public TInstallOptionsView {
public:
    std::string text;
    std::vector<std::string> log;  // what the window was asked to do, in order
    std::string folderChoice;
    std::set<std::string> folders;  // existing folders
    std::set<std::string> uncreatable;

    std::string PathText() const override { return text; }
    void SetPathText(const std::string& t) override { text = t; }
    void FocusPathSelectAll() override { log.push_back("focus-select"); }
    void DropPathFocus() override {}
    void BringInstallerToFront() override { log.push_back("front"); }
    void ShowWarning(const std::string& key, const std::string&) override { log.push_back("notice " + key); }
    void EndForFullDisk() override { log.push_back("end-disk-full"); }
    void ShowOptionsPageForInvalidPath() override { log.push_back("options-page"); }
    void EnableInstallButtons() override { log.push_back("enable-both"); }
    void EnableOptionsInstallButton() override { log.push_back("enable-install"); }
    std::string ChooseFolder() override { return folderChoice; }
    bool CreateFolder(const std::string& path) override {
        if (uncreatable.count(path)) return false;
        folders.insert(path);
        return true;
    }
    bool FolderExists(const std::string& path) const override { return folders.count(path) > 0; }
    void RemoveFolderIfEmpty(const std::string& path) override {
        if (folders.erase(path)) log.push_back("removed " + path);
    }
    void StartInstall() override { log.push_back("start"); }
};

struct Fixture {
    FakeOs os;
    RecordingView view;
    TInstallOptions options{os.services, view};
    Fixture() {
        os.shell.folders[Csidl::ProgramFiles] = "C:\\Program Files (x86)";
        os.disks.drives["C:"] = {DriveType::Fixed, 900 * kMiB};
        os.disks.drives["D:"] = {DriveType::Fixed, 900 * kMiB};
        os.disks.drives["E:"] = {DriveType::Fixed, 10 * kMiB};
        os.disks.drives["N:"] = {DriveType::Remote, 900 * kMiB};
    }
};

const std::vector<std::string> kInvalid = {"front", "notice M_PathInvaild", "options-page", "enable-both"};

struct OptionsCase {
    const char* name;
    const char* typed;
    std::string installPath;          // after the action; "" when not started
    std::vector<std::string> log;     // the view's log
    std::string editText;             // the edit afterwards
};

class InstallFromOptionsPage : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(InstallFromOptionsPage, ChecksThenStarts) {
    const auto& c = GetParam();
    Fixture f;
    f.view.text = c.typed;
    f.options.InstallFromOptionsPage();
    EXPECT_EQ(f.view.log, c.log);
    EXPECT_EQ(f.view.text, c.editText);
    if (!c.installPath.empty()) {
        EXPECT_EQ(f.options.InstallPath, c.installPath);
    }
}

const std::string kDefault = "C:\\Program Files\\Qarto Private Browser\\";
INSTANTIATE_TEST_SUITE_P(
    Cases, InstallFromOptionsPage,
    ::testing::Values(
        OptionsCase{"CompletedWithTheProductName", "D:\\Apps", "D:\\Apps\\Qarto Private Browser\\", {"start"},
                    "D:\\Apps\\Qarto Private Browser\\"},
        OptionsCase{"ProductNameKeptAsTyped", "D:\\Apps\\Qarto Private Browser", "D:\\Apps\\Qarto Private Browser\\",
                    {"start"}, "D:\\Apps\\Qarto Private Browser"},
        OptionsCase{"PartsTrimmed", "D:\\ My Apps \\x", "D:\\My Apps\\x\\Qarto Private Browser\\", {"start"},
                    "D:\\My Apps\\x\\Qarto Private Browser\\"},
        OptionsCase{"RefusedCharacter", "D:\\a|b", "", kInvalid, kDefault},
        OptionsCase{"NetworkDrive", "N:\\Apps", "", kInvalid, kDefault},
        OptionsCase{"DriveRelative", "C:abc", "", kInvalid, kDefault},
        OptionsCase{"DriveRootPasses", "C:\\", "C:\\Qarto Private Browser\\", {"start"}, "C:\\Qarto Private Browser\\"},
        OptionsCase{"PartitionFull", "E:\\Apps", "",
                    {"notice M_PartitionIsFull", "focus-select", "enable-install"}, kDefault}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(InstallOptions, FolderThatCannotBeCreatedGoesBackToTheDefault) {
    Fixture f;
    f.view.text = "D:\\Locked";
    f.view.uncreatable.insert("D:\\Locked\\Qarto Private Browser\\");
    f.view.folders.insert(kDefault);  // an empty default folder left from before
    f.options.InstallFromOptionsPage();
    std::vector<std::string> expected = kInvalid;
    expected.push_back("removed " + kDefault);
    EXPECT_EQ(f.view.log, expected);
    EXPECT_EQ(f.view.text, kDefault);
}

TEST(InstallOptions, StartingFromTheOptionsPageSavesTheUserConfiguration) {
    Fixture f;
    TempDir dir;
    f.options.DownloadPath = dir.path().string() + "/";
    f.options.Options.createDesktopIcon = false;
    f.view.text = "D:\\Apps";
    f.options.InstallFromOptionsPage();
    TSafeIniFile saved(f.options.DownloadPath + kUserConfigFileName);
    EXPECT_EQ(saved.ReadString("Option", "InstallPath", ""), "D:\\Apps\\Qarto Private Browser\\");
    EXPECT_FALSE(saved.ReadBool("Option", "CreateDesktopIcon", true));
}

TEST(InstallOptions, InstallNowChecksOnlyTheDriveType) {
    Fixture f;
    f.view.text = "E:\\Full";  // no free-space check on this path
    f.options.InstallFromMainPage();
    EXPECT_EQ(f.view.log, std::vector<std::string>{"start"});
    EXPECT_EQ(f.options.InstallPath, "E:\\Full\\Qarto Private Browser\\");

    Fixture g;
    g.view.text = "N:\\Share\\Apps";
    g.options.InstallFromMainPage();
    EXPECT_EQ(g.view.log, kInvalid);
    EXPECT_EQ(g.view.text, "N:\\Share\\Apps");  // the text is left as it was
}

TEST(InstallOptions, BrowseCompletesTheChosenFolder) {
    Fixture f;
    f.view.text = kDefault;
    f.view.folderChoice = "D:\\Games";
    f.options.BrowseClick();
    EXPECT_EQ(f.view.text, "D:\\Games\\Qarto Private Browser\\");
    EXPECT_EQ(f.options.InstallPath, f.view.text);

    Fixture cancelled;
    cancelled.view.text = "D:\\Kept\\";
    cancelled.options.BrowseClick();
    EXPECT_EQ(cancelled.view.text, "D:\\Kept\\");
    EXPECT_EQ(cancelled.options.InstallPath, "D:\\Kept\\");
}

TEST(InstallOptions, TypingAndPastingStopAtRefusedCharacters) {
    Fixture f;
    EXPECT_FALSE(TInstallOptions::KeyAllowed(U'.'));
    EXPECT_FALSE(TInstallOptions::KeyAllowed(U'*'));
    EXPECT_TRUE(TInstallOptions::KeyAllowed(U'a'));
    f.view.text = "D:\\a.b\\c";
    f.options.PathChanged();
    EXPECT_EQ(f.view.text, "D:\\a");
}

TEST(InstallOptions, DefaultFolderWithoutAnyRoomEndsTheProcess) {
    Fixture f;
    f.os.disks.drives = {{"C:", {DriveType::Fixed, 1 * kMiB}}};
    f.options.QuillSetupPath();
    EXPECT_EQ(f.view.log, std::vector<std::string>{"end-disk-full"});
}

TEST(UserConfiguration, RoundTripAndDefaults) {
    Fixture f;
    TempDir dir;
    f.options.DownloadPath = dir.path().string() + "/";

    f.options.LoadUserConfig();  // no file yet
    EXPECT_TRUE(f.options.Options.createDesktopIcon);
    EXPECT_TRUE(f.options.Options.createTaskbar);
    EXPECT_FALSE(f.options.Options.addBookmark);
    EXPECT_EQ(f.options.Options.proxyPort, "80");

    f.options.InstallPath = "D:\\Apps\\Qarto Private Browser\\";
    f.options.Options.addBookmark = true;
    f.options.Options.createTaskbar = false;
    f.options.Options.proxyHost = "  proxy.example  ";
    f.options.Options.proxyPort = "3128";
    f.options.Options.proxyPass = "s3cret";
    f.options.SaveUserConfig();

    Fixture g;
    g.options.DownloadPath = f.options.DownloadPath;
    g.options.LoadUserConfig();
    EXPECT_EQ(g.options.InstallPath, "D:\\Apps\\Qarto Private Browser\\");
    EXPECT_EQ(g.view.text, g.options.InstallPath);
    EXPECT_TRUE(g.options.Options.addBookmark);
    EXPECT_TRUE(g.options.Options.createTaskbar);  // written, never read back
    EXPECT_EQ(g.options.Options.proxyHost, "proxy.example");
    EXPECT_EQ(g.options.Options.proxyPort, "3128");
    // The password is this run's only: the file is readable by every user.
    EXPECT_EQ(g.options.Options.proxyPass, "");
    EXPECT_EQ(ReadBytes(f.options.DownloadPath + kUserConfigFileName).find("s3cret"), std::string::npos);

    // A password an earlier version stored is neither used nor kept.
    {
        TSafeIniFile ini(f.options.DownloadPath + kUserConfigFileName);
        ini.WriteString("Proxy", "Pass", "older");
        ini.UpdateFile();
    }
    Fixture h;
    h.options.DownloadPath = f.options.DownloadPath;
    h.options.LoadUserConfig();
    EXPECT_EQ(h.options.Options.proxyPass, "");
    h.options.SaveUserConfig();
    EXPECT_EQ(ReadBytes(f.options.DownloadPath + kUserConfigFileName).find("older"), std::string::npos);
}

TEST(UserConfiguration, StoredFolderOnAFullDriveGivesTheDefault) {
    Fixture f;
    TempDir dir;
    f.options.DownloadPath = dir.path().string() + "/";
    TUserConfig stored;
    stored.installPath = "E:\\Apps\\";
    SaveUserConfigFile(f.options.DownloadPath, stored);
    f.options.LoadUserConfig();
    EXPECT_EQ(f.options.InstallPath, kDefault);
}

}  // namespace
