// The download folder's choice (made, used, taken over, replaced by a random-named
// folder, or none), the sweep of what lies in it, and install folders outside the
// program-files folders, through a made-up file system.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Installer/Downloader/flow/SecureFolder.h"
#include "tests/unit/installer/FakeFolderSecurity.h"

namespace {

const std::string kCommon = "C:\\ProgramData";
const std::string kProduct = "C:\\ProgramData\\Qarto Private Browser";
const std::string kDownloader = kProduct + "\\Downloader";
const std::string kRandom = "00112233445566778899aabbccddeeff";

struct ChoiceCase {
    std::string name;
    std::function<void(FakeFolderSecurity&)> arrange;
    std::string chosen;              // "" when nothing works
    std::vector<std::string> log;    // the changes made, in order
    std::vector<std::string> gone;   // objects removed along the way
    std::vector<std::string> kept;   // objects still there afterwards
};

std::vector<ChoiceCase> ChoiceCases() {
    const auto ours = [](FakeFolderSecurity& f) {
        f.objects[kProduct] = AdminsOnly();
        f.objects[kDownloader] = AdminsOnly();
    };
    return {
        {"MissingFoldersAreCreatedSecure", [](FakeFolderSecurity&) {}, kDownloader + "\\",
         {"create " + kProduct + " admins-only", "create " + kDownloader + " admins-only"}, {}, {}},
        {"TrustedFoldersAreUsedAsTheyAre", ours, kDownloader + "\\", {}, {}, {kDownloader}},
        {"AUsersFolderIsTakenOverAndCleared",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = AdminsOnly();
             f.objects[kDownloader] = UserOwned();
             f.objects[kDownloader + "\\ZYR_Setup.exe"] = UserOwned(false);
             f.objects[kDownloader + "\\dl-infonew.upt"] = Link(false);
             // A link goes whoever owns it.
             f.objects[kDownloader + "\\nested"] = [] { auto s = AdminsOnly(); s.reparsePoint = true; return s; }();
             f.objects[kDownloader + "\\ZYR_Setup.exe.dat"] = AdminsOnly(false);
         },
         kDownloader + "\\",
         {"take over " + kDownloader, "remove " + kDownloader + "\\ZYR_Setup.exe",
          "remove " + kDownloader + "\\dl-infonew.upt", "remove " + kDownloader + "\\nested"},
         {kDownloader + "\\ZYR_Setup.exe", kDownloader + "\\dl-infonew.upt", kDownloader + "\\nested"},
         {kDownloader + "\\ZYR_Setup.exe.dat"}},
        {"AJunctionInPlaceOfTheFolderIsRemovedAsALink",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = AdminsOnly();
             f.objects[kDownloader] = Link();
         },
         kDownloader + "\\", {"remove " + kDownloader, "create " + kDownloader + " admins-only"}, {}, {kDownloader}},
        {"TakeOverRefusedGivesARandomNamedFolderBeside",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = AdminsOnly();
             f.objects[kDownloader] = UserOwned();
             f.refuseTakeOver.insert(kDownloader);
         },
         kProduct + "\\Downloader-" + kRandom + "\\", {"create " + kProduct + "\\Downloader-" + kRandom + " admins-only"},
         {}, {kDownloader}},
        {"AnUntrustedProductFolderGivesARandomFolderInTheAnchor",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = UserOwned();
             f.refuseTakeOver.insert(kProduct);
         },
         kCommon + "\\Downloader-" + kRandom + "\\", {"create " + kCommon + "\\Downloader-" + kRandom + " admins-only"},
         {}, {}},
        {"AForeignEntryThatCannotGoIsLeftToTheSweep",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = AdminsOnly();
             f.objects[kDownloader] = UserOwned();
             f.objects[kDownloader + "\\held"] = UserOwned(false);
             f.refuseRemove.insert(kDownloader + "\\held");
         },
         // The folder itself passes after the take-over; what it holds is the sweep's.
         kDownloader + "\\", {"take over " + kDownloader}, {}, {kDownloader + "\\held"}},
        {"NothingWorks",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = UserOwned();
             f.refuseTakeOver.insert(kProduct);
             f.refuseCreate.insert(kCommon + "\\Downloader-" + kRandom);
         },
         "", {}, {}, {}},
        {"NoRandomNameNoFolder",
         [](FakeFolderSecurity& f) {
             f.objects[kProduct] = UserOwned();
             f.refuseTakeOver.insert(kProduct);
             f.random = "";
         },
         "", {}, {}, {}},
    };
}

class DownloadFolderChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DownloadFolderChoice, UsesTakesOverOrReplaces) {
    const ChoiceCase& c = GetParam();
    FakeFolderSecurity fs;
    c.arrange(fs);
    std::vector<std::string> traces;
    const std::string chosen = PrepareSecureFolder(fs, DownloadFolderPlan(kDownloader + "\\", kCommon),
                                                   [&](const std::string& t) { traces.push_back(t); });
    EXPECT_EQ(chosen, c.chosen);
    EXPECT_EQ(fs.log, c.log);
    for (const std::string& gone : c.gone) EXPECT_FALSE(fs.objects.count(gone)) << gone;
    for (const std::string& kept : c.kept) EXPECT_TRUE(fs.objects.count(kept)) << kept;
    if (!chosen.empty()) {
        EXPECT_TRUE(JudgeSecurity(fs.Read(chosen)).trusted);
    }
    if (!c.log.empty()) {
        EXPECT_FALSE(traces.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(SecureFolder, DownloadFolderChoice, ::testing::ValuesIn(ChoiceCases()),
                         [](const auto& param) { return param.param.name; });

// On another drive "ProgramData" is nobody's in particular: a user's is never taken
// over (nor emptied); the download folder goes into the drive's root instead.
TEST(SecureFolder, SomebodyElsesFolderAboveOursIsNeverTakenOver) {
    const TSecureFolderPlan plan = DownloadFolderPlan("D:\\ProgramData\\Qarto Private Browser\\Downloader\\", kCommon);
    EXPECT_EQ(plan.anchor, "D:\\");
    EXPECT_EQ(plan.parts, (std::vector<std::string>{"ProgramData", "Qarto Private Browser", "Downloader"}));
    EXPECT_EQ(plan.ownedFrom, 1u);

    FakeFolderSecurity fs;
    fs.objects["D:\\ProgramData"] = UserOwned();
    fs.objects["D:\\ProgramData\\notes.txt"] = UserOwned(false);
    const std::string chosen = PrepareSecureFolder(fs, plan, [](const std::string&) {});
    EXPECT_EQ(chosen, "D:\\Downloader-" + kRandom + "\\");
    EXPECT_EQ(fs.log, (std::vector<std::string>{"create D:\\Downloader-" + kRandom + " admins-only"}));
    EXPECT_TRUE(fs.objects.count("D:\\ProgramData\\notes.txt"));

    const TSecureFolderPlan usual = DownloadFolderPlan("c:\\programdata\\Qarto Private Browser\\Downloader\\", kCommon);
    EXPECT_EQ(usual.anchor, kCommon + "\\");
    EXPECT_EQ(usual.parts, (std::vector<std::string>{"Qarto Private Browser", "Downloader"}));
    EXPECT_EQ(usual.ownedFrom, 0u);
}

// Whatever lies in the folder from earlier runs is kept only when it passes the check.
TEST(SecureFolder, SweepRemovesEveryEntryThatFailsTheCheck) {
    FakeFolderSecurity fs;
    fs.objects[kDownloader] = AdminsOnly();
    const auto at = [](const std::string& name) { return kDownloader + "\\" + name; };
    TObjectSecurity writable = AdminsOnly(false);
    writable.aces.push_back(Allow(kSidUsers, kAccessWriteData | kAccessAppendData));
    TObjectSecurity inheritOnlyGrant = AdminsOnly(false);
    inheritOnlyGrant.aces.push_back(Allow(kSidUsers, kAccessWriteData, kAceObjectInherit | kAceInheritOnly));
    fs.objects[at("ZYR_Setup.exe")] = AdminsOnly(false);
    fs.objects[at("ZYR_Setup.exe.dat")] = UserOwned(false);
    fs.objects[at("dl-infonew.upt")] = writable;
    fs.objects[at("dl-infoar.upt")] = Link(false);
    fs.objects[at("ZYRNew_UserConfig.ini")] = inheritOnlyGrant;
    fs.objects[at("test.ini")] = [] { auto s = AdminsOnly(false); s.nullDacl = true; return s; }();
    fs.objects[at("stray")] = UserOwned();
    fs.objects[at("stray\\inside")] = UserOwned(false);
    std::vector<std::string> traces;
    EXPECT_EQ(SweepUntrustedEntries(fs, kDownloader + "\\", [&](const std::string& t) { traces.push_back(t); }), 5);
    EXPECT_EQ(fs.List(kDownloader), (std::vector<std::string>{"ZYRNew_UserConfig.ini", "ZYR_Setup.exe"}));
    EXPECT_FALSE(fs.objects.count(at("stray\\inside")));
    ASSERT_EQ(traces.size(), 5u);
    EXPECT_NE(traces[0].find("owner " + kSomeUser), std::string::npos) << traces[0];
}

struct ProgramFilesCase {
    const char* name;
    const char* path;
    bool inside;
};

class InstallFolderPlace : public ::testing::TestWithParam<ProgramFilesCase> {};

TEST_P(InstallFolderPlace, InsideTheProgramFilesFoldersOnlyOnWholeParts) {
    const std::vector<std::string> folders = {"C:\\Program Files (x86)", "C:\\Program Files"};
    EXPECT_EQ(IsInProgramFiles(GetParam().path, folders), GetParam().inside) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(SecureFolder, InstallFolderPlace,
                         ::testing::Values(ProgramFilesCase{"Below", "C:\\Program Files\\Qarto Private Browser\\", true},
                                           ProgramFilesCase{"BelowX86OtherCase", "c:\\program files (x86)\\Qarto\\", true},
                                           ProgramFilesCase{"TheFolderItself", "C:\\Program Files", false},
                                           ProgramFilesCase{"LongerName", "C:\\Program Files Extra\\Qarto\\", false},
                                           ProgramFilesCase{"DotDot", "C:\\Program Files\\..\\Users\\Qarto\\", false},
                                           ProgramFilesCase{"OtherDrive", "D:\\Apps\\Qarto Private Browser\\", false},
                                           ProgramFilesCase{"SameNameElsewhere", "C:\\Users\\me\\Program Files\\Qarto\\", false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SecureFolder, InstallFolderIsMadeSecureOrAnUntrustedOneRefused) {
    FakeFolderSecurity fs;
    fs.objects["D:\\Apps"] = UserOwned();
    TInstallFolderCheck check = PrepareInstallFolder(fs, "D:\\Apps\\New\\Qarto Private Browser\\");
    EXPECT_EQ(check.state, TInstallFolderState::Ready) << check.reason;
    EXPECT_EQ(fs.log, (std::vector<std::string>{"create D:\\Apps\\New program-files-like",
                                                "create D:\\Apps\\New\\Qarto Private Browser program-files-like"}));
    // Made by the installer, so trusted when asked again.
    EXPECT_EQ(PrepareInstallFolder(fs, "D:\\Apps\\New\\Qarto Private Browser\\").state, TInstallFolderState::Ready);

    fs.objects["D:\\Apps\\Theirs"] = UserOwned();
    check = PrepareInstallFolder(fs, "D:\\Apps\\Theirs\\");
    EXPECT_EQ(check.state, TInstallFolderState::Untrusted);
    EXPECT_NE(check.reason.find("owner"), std::string::npos);
    fs.objects["D:\\Apps\\Linked"] = Link();
    EXPECT_EQ(PrepareInstallFolder(fs, "D:\\Apps\\Linked").state, TInstallFolderState::Untrusted);

    fs.refuseCreate.insert("E:\\Apps");
    EXPECT_EQ(PrepareInstallFolder(fs, "E:\\Apps\\Qarto\\").state, TInstallFolderState::Failed);
    EXPECT_EQ(PrepareInstallFolder(fs, "relative\\Qarto\\").state, TInstallFolderState::Failed);
}

}  // namespace
