// The install flow end to end on the host: descriptors and package from the local
// test server, the package "run" by a fake that reports when it ends, the window
// played by a recording view.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "Installer/Downloader/flow/InstallFlow.h"
#include "Installer/Downloader/package/PackageSigners.h"
#include "services/Md5.h"
#include "tests/support/TestServer.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A package the checks accept as a program image, with a unique body.
std::string PackageBytes(size_t size, char fill) {
    std::string b(size, fill);
    b[0] = 'M';
    b[1] = 'Z';
    b.replace(60, 4, std::string("\x80\0\0\0", 4));  // the PE header's offset
    b.replace(0x80, 4, std::string("PE\0\0", 4));
    b[0x80 + 22] = 0x02;
    b[0x80 + 23] = 0x01;
    return b;
}

std::string Md5Of(const std::string& bytes) {
    TMd5 md5;
    md5.Update(bytes);
    return md5.HexDigest();
}

class FakeProcess : public TRunningProcess {
public:
    FakeProcess(int turns, std::function<void()> eachTurn) : FTurns(turns), FEachTurn(std::move(eachTurn)) {}
    bool Running() override {
        if (FEachTurn) FEachTurn();
        return FTurns-- > 0;
    }

private:
    int FTurns;
    std::function<void()> FEachTurn;
};

class RecordingView : public TInstallFlowView {
public:
    std::vector<std::string> log;
    bool themeChosen = false;
    bool installFinished = true;
    bool questionOpen = false;
    int packageTurns = 5;
    std::string startedProgram, startedParameters;
    int lastPosition = -1, lastPercent = -1, progressCalls = 0;
    // Answers the cancel question; may run the loop meanwhile (the dialog's loop).
    std::function<bool()> answer = [] { return false; };

    void PrepareInstallStart() override { log.push_back("prepare"); }
    void ShowDownloadPage() override { log.push_back("download-page"); }
    void HideBackLink() override {}
    void ShowProgress(int position, int percent) override {
        lastPosition = position;
        lastPercent = percent;
        ++progressCalls;
    }
    void HideInitializing() override {}
    void LockForPackageRun() override { log.push_back("lock"); }
    void BottomBarToMaximum() override { log.push_back("bottom-bar-max"); }
    void MinimiseToTray() override { log.push_back("minimise"); }
    bool AskCancel() override {
        log.push_back("ask");
        questionOpen = true;
        const bool yes = answer();
        questionOpen = false;
        return yes;
    }
    bool CancelQuestionOpen() const override { return questionOpen; }
    void BringInstallerToFront() override {}
    void SaveUserConfig() override { log.push_back("save-config"); }
    void CreateInstallerShortcut() override { log.push_back("shortcut"); }
    void EndProcess() override { log.push_back("end"); }
    bool IsThemeChosen() override { return themeChosen; }
    void ShowThemePage() override { log.push_back("theme-page"); }
    void ShowSuccessPage() override { log.push_back("success-page"); }
    void ShowFailurePage() override { log.push_back("failure-page"); }
    bool InstallFinished() override { return installFinished; }
    std::unique_ptr<TRunningProcess> StartPackage(const std::string& program, const std::string& params) override {
        log.push_back("run");
        startedProgram = program;
        startedParameters = params;
        return std::make_unique<FakeProcess>(packageTurns, whilePackageRuns);
    }
    std::unique_ptr<TLockedPackage> HoldPackage(const std::string& file) override {
        log.push_back("hold");
        if (holdFails) return nullptr;
        if (beforeHold) beforeHold(file);
        return HoldFileForReading(file);
    }
    bool holdFails = false;
    std::function<void(const std::string&)> beforeHold;
    std::function<void()> whilePackageRuns;  // each time the flow asks whether it still runs
    void SecureDownloadFolder(const std::string&) override {}
    void Trace(const std::string& t) override {
        traces.push_back(t);
        if (std::getenv("QARTO_TRACE")) std::fprintf(stderr, "trace: %s\n", t.c_str());
        if (onTrace) onTrace(t);
    }
    std::function<void(const std::string&)> onTrace;
    std::vector<std::string> traces;

    bool Has(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
};

class InstallFlowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new TestServer(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        server->Reset();
        fs::create_directories(server->FilesDir());
        package = PackageBytes(300'000, 'p');
        Put("pkg.exe", package);
    }

    static void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(server->FilesDir() / name, std::ios::binary) << bytes;
    }
    static std::string Descriptor(const std::string& url, const std::string& md5) {
        return "[Option]\r\nURL=" + url + "\r\nMD5=" + md5 + "\r\n";
    }
    // An address nobody listens on: the download fails at once.
    static std::string Dead(const std::string& path) { return "http://127.0.0.1:9" + path; }

    std::unique_ptr<TInstallFlow> MakeFlow(TFlowAddresses addresses) {
        auto flow = std::make_unique<TInstallFlow>(*loop, internet, disks, view, std::move(addresses));
        flow->DownloadPath = (dir.path() / "dl").string() + "/";
        flow->InstallPath = (dir.path() / "Qarto Private Browser").string() + "/";
        flow->TlsCaFile = server->CaFile().string();
        flow->DownloadTimeOut = 5;
        flow->AnimationSleepMs = 0;
        flow->WaitSleepMs = 1;
        flow->OnOutcome = [this] { outcome = true; };
        return flow;
    }
    bool RunToOutcome(std::chrono::seconds limit = 60s) {
        return loop->RunUntil([&] { return outcome; }, limit);
    }

    static TestServer* server;
    TempDir dir;
    std::unique_ptr<EventLoop> loop = MakeEventLoop();
    FakeInternetSettings internet;
    FakeFreeSpace disks;
    RecordingView view;
    std::string package;
    bool outcome = false;
};
TestServer* InstallFlowTest::server = nullptr;

TEST_F(InstallFlowTest, MainDescriptorThenVerifiedPackageThenThemePage) {
    Put("main.upt", Descriptor(server->HttpsUrl("/files/pkg.exe?scenario=pkg"), Md5Of(package)));
    auto flow = MakeFlow({server->HttpsUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    flow->Options = {"", "/insur=abc", false, true, false};
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());

    EXPECT_EQ(flow->DescriptorMD5(), Md5Of(package));
    EXPECT_TRUE(flow->ThemeCheck());
    EXPECT_EQ(view.log, (std::vector<std::string>{"prepare", "download-page", "hold", "lock", "run", "theme-page"}));
    EXPECT_EQ(view.startedProgram, flow->DownloadPath + "ZYR_Setup.exe");
    // The folder without its trailing separator: no backslash can come before the quote.
    EXPECT_EQ(view.startedParameters, "/sp- /verysilent /suppressmsgboxes /NORESTART /DIR=\"" +
                                          (dir.path() / "Qarto Private Browser").string() +
                                          "\" /insur=abc /TASKS=\"desktopicon\"");
    EXPECT_EQ(view.lastPosition, 10000);
    EXPECT_EQ(view.lastPercent, 100);
    EXPECT_TRUE(fs::is_directory(flow->InstallPath));
    std::ifstream downloaded(flow->DownloadPath + "ZYR_Setup.exe", std::ios::binary);
    EXPECT_EQ(Md5Of(std::string(std::istreambuf_iterator<char>(downloaded), {})), Md5Of(package));
}

TEST_F(InstallFlowTest, RegionalDecidesWhenTheMainServerIsDown) {
    Put("regional.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=reg"), Md5Of(package)));
    view.themeChosen = true;
    auto flow = MakeFlow({Dead("/main.upt"), server->HttpUrl("/files/regional.upt"), Dead("/fallback.exe")});
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_EQ(flow->SetupUrl(), server->HttpUrl("/files/pkg.exe?scenario=reg"));
    EXPECT_TRUE(view.Has("success-page"));
    EXPECT_FALSE(view.Has("theme-page"));
}

TEST_F(InstallFlowTest, BothDescriptorsDownUsesTheBuiltInPackageUnverified) {
    auto flow = MakeFlow({Dead("/main.upt"), Dead("/regional.upt"), server->HttpUrl("/files/pkg.exe?scenario=fb")});
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_EQ(flow->DescriptorState(), 2);
    EXPECT_EQ(flow->SetupUrl(), server->HttpUrl("/files/pkg.exe?scenario=fb"));
    // Unverified: run all the same (right size, a program), no theme question.
    EXPECT_TRUE(view.Has("run"));
    EXPECT_TRUE(view.Has("bottom-bar-max"));
    EXPECT_FALSE(view.Has("theme-page"));
    EXPECT_TRUE(view.Has("success-page"));
}

// A descriptor is used only when its download ended well and it is at most 64 KiB:
// a longer one is refused before its file grows, and what a failed one left (an
// address cut short, no MD5) is never read. Both fall back to the built-in address.
TEST_F(InstallFlowTest, OversizedOrIncompleteDescriptorsAreNeverRead) {
    const std::string descriptor = Descriptor(server->HttpUrl("/files/pkg.exe?scenario=planted"), Md5Of(package));
    const std::string cut = std::to_string(descriptor.find("MD5="));
    struct Case {
        std::string name, file, text, query;
    } cases[] = {
        {"oversized", "big.upt", descriptor + std::string(70 * 1024, ';'), "?scenario=bigdesc"},
        {"incomplete", "cut.upt", descriptor, "?scenario=cutdesc&stall_after=" + cut},
    };
    for (const Case& c : cases) {
        server->Reset();
        view = RecordingView{};
        outcome = false;
        Put(c.file, c.text);
        auto flow = MakeFlow({server->HttpUrl("/files/" + c.file + c.query), Dead("/regional.upt"),
                              server->HttpUrl("/files/pkg.exe?scenario=fallback")});
        flow->DownloadTimeOut = 1;  // the stalled descriptor fails sooner
        flow->StartInstall();
        ASSERT_TRUE(RunToOutcome(120s)) << c.name;
        EXPECT_EQ(flow->DescriptorState(), 2) << c.name;
        EXPECT_EQ(flow->SetupUrl(), server->HttpUrl("/files/pkg.exe?scenario=fallback")) << c.name;
        EXPECT_EQ(flow->DescriptorMD5(), "") << c.name;
        EXPECT_TRUE(server->Stats("planted").requests.empty()) << c.name << ": its package address was read";
        EXPECT_FALSE(server->Stats("fallback").requests.empty()) << c.name;
        if (c.name == "oversized") {
            for (const auto& r : server->Stats("bigdesc").requests) EXPECT_TRUE(r.range.empty()) << "only the probe";
        }
    }
}

TEST_F(InstallFlowTest, PackageThatNeverMatchesItsMd5IsNeverRun) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=bad"), Md5Of("something else")));
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome(120s));
    EXPECT_FALSE(view.Has("run"));
    EXPECT_TRUE(view.Has("failure-page"));
}

TEST_F(InstallFlowTest, FailedPackageShowsTheFailurePage) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=fail"), Md5Of(package)));
    view.themeChosen = true;
    view.installFinished = false;
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_TRUE(view.Has("run"));
    EXPECT_TRUE(view.Has("failure-page"));
}

TEST_F(InstallFlowTest, DescriptorArrivingWhileTheQuestionIsOpenIsHeldThenUsedOnNo) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=held"), Md5Of(package)));
    view.themeChosen = true;
    // The question is asked before the loop has run: the descriptor arrives while it is open.
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    flow->StartInstall();
    view.answer = [&] {
        // The dialog's own loop runs until the decision has arrived and is held.
        loop->RunUntil([&] { return flow->PendingDescriptor() != TDescriptorSource::None; }, 30s);
        EXPECT_TRUE(flow->DescriptorPhase());  // held: no package download yet
        return false;
    };
    flow->CancelFromDownloadPage();
    EXPECT_EQ(flow->PendingDescriptor(), TDescriptorSource::None);
    EXPECT_FALSE(flow->DescriptorPhase());  // "No": the package download started with it
    ASSERT_TRUE(RunToOutcome());
    EXPECT_TRUE(view.Has("success-page"));
}

TEST_F(InstallFlowTest, CancelDuringThePackageDownloadPausesNoResumesYesKeepsThePartialPackage) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=cancel&rate=100000"), Md5Of(package)));
    view.themeChosen = true;
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    flow->StartInstall();
    ASSERT_TRUE(loop->RunUntil([&] { return view.progressCalls > 2; }, 30s));

    view.answer = [] { return false; };
    flow->CancelFromDownloadPage();
    ASSERT_TRUE(RunToOutcome());  // "No": it continued and finished
    EXPECT_TRUE(view.Has("success-page"));
    EXPECT_FALSE(view.Has("end"));
}

TEST_F(InstallFlowTest, CancelYesEndsWithTheShortcutAndKeepsThePartialPackage) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=yes&rate=50000"), Md5Of(package)));
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    flow->StartInstall();
    ASSERT_TRUE(loop->RunUntil([&] { return view.progressCalls > 2; }, 30s));
    view.answer = [] { return true; };
    flow->CancelFromDownloadPage();
    const std::vector<std::string> tail(view.log.end() - 3, view.log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"save-config", "shortcut", "end"}));
    EXPECT_TRUE(fs::exists(flow->DownloadPath + "ZYR_Setup.exe"));
    EXPECT_TRUE(fs::exists(flow->DownloadPath + "ZYR_Setup.exe.dat"));
    EXPECT_FALSE(view.Has("run"));
}

// A Cancel click that arrives between the download's end and the package's start
// opens the question; the package
// never starts while it is open. "Yes": it never runs; "No": it runs afterwards.
TEST_F(InstallFlowTest, CancelRightAfterTheDownloadHoldsThePackageStartForTheAnswer) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        view.log.clear();
        view.themeChosen = true;
        outcome = false;
        Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=race"), Md5Of(package)));
        auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
        flow->DownloadPath = (dir.path() / (yes ? "dl-yes" : "dl-no")).string() + "/";
        bool ranDuringQuestion = false;
        view.answer = [&] {
            // The dialog's own loop: the flow's posted start comes up in it.
            loop->RunUntil([&] { return false; }, 300ms);
            ranDuringQuestion = view.Has("run");
            return yes;
        };
        bool clicked = false;
        view.onTrace = [&](const std::string& text) {
            if (clicked || text.rfind("package download ended", 0) != 0) return;
            clicked = true;
            // The click is delivered before the flow's posted start, as a window
            // message queued first would be.
            loop->StartTimer(0ms, false, [&] { flow->CancelFromDownloadPage(); });
        };
        flow->StartInstall();
        ASSERT_TRUE(loop->RunUntil([&] { return clicked && !view.questionOpen && (outcome || view.Has("end")); }, 60s));
        EXPECT_FALSE(ranDuringQuestion);
        EXPECT_TRUE(view.Has("ask"));
        if (yes) {
            loop->RunUntil([&] { return false; }, 200ms);  // anything still posted has run
            EXPECT_FALSE(view.Has("run"));
            EXPECT_TRUE(view.Has("end"));
        } else {
            EXPECT_TRUE(view.Has("run"));
            EXPECT_TRUE(view.Has("success-page"));
        }
        view.onTrace = nullptr;
    }
}

// The package that runs is the one checked: one rewritten after the download's check
// (before the installer holds it), or one that cannot be held against changes, is
// never started and the failure page shows.
TEST_F(InstallFlowTest, PackageChangedAfterItsCheckOrNotHeldIsNeverStarted) {
    for (const bool rewritten : {true, false}) {
        SCOPED_TRACE(rewritten ? "rewritten after the check" : "cannot be held");
        view.log.clear();
        view.themeChosen = true;
        outcome = false;
        view.holdFails = !rewritten;
        view.beforeHold = [&](const std::string& file) {
            if (rewritten) std::ofstream(file, std::ios::binary) << PackageBytes(300'000, 'x');
        };
        Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=swap"), Md5Of(package)));
        auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
        flow->DownloadPath = (dir.path() / (rewritten ? "dl-swap" : "dl-held")).string() + "/";
        flow->StartInstall();
        ASSERT_TRUE(RunToOutcome());
        EXPECT_TRUE(view.Has("hold"));
        EXPECT_FALSE(view.Has("run"));
        EXPECT_TRUE(view.Has("failure-page"));
    }
    view.holdFails = false;
    view.beforeHold = nullptr;
}

// With a pinned publisher the package runs only with its intact signature, checked
// through the held handle after the MD5, also when both descriptors failed and no MD5
// is known; without a pin the MD5 alone decides, as before. The packages are real
// signed files (tools/signing/make-signed-cases.py).
TEST_F(InstallFlowTest, PinnedPublisherRunsOnlyItsSignedPackageWithoutAPinTheMd5Decides) {
    const std::string cases = QARTO_SIGNING_CASES;
    auto bytes = [&](const std::string& name) {
        std::ifstream in(cases + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    struct Case {
        const char* name;
        const char* file;
        bool pinned, descriptor;
        const char* refusal;  // nullptr: it runs
    } cases_[] = {
        {"signed, pinned", "signed.exe", true, true, nullptr},
        {"signed, pinned, no descriptor", "signed.exe", true, false, nullptr},
        {"unsigned, pinned", "unsigned.exe", true, true, "its signature is refused: it is not signed"},
        {"unsigned, pinned, no descriptor", "unsigned.exe", true, false, "its signature is refused: it is not signed"},
        {"other publisher, pinned", "other-publisher.exe", true, true, "not the pinned publisher"},
        {"changed after signing, pinned", "body-changed.exe", true, true, "do not match the signed digest"},
        {"unsigned, no pin", "unsigned.exe", false, true, nullptr},
        {"changed after signing, no pin", "body-changed.exe", false, true, nullptr},
    };
    int round = 0;
    for (const Case& c : cases_) {
        SCOPED_TRACE(c.name);
        view = RecordingView{};
        view.themeChosen = true;
        outcome = false;
        const std::string served = bytes(c.file);
        ASSERT_FALSE(served.empty()) << c.file;
        const std::string name = "signed-" + std::to_string(++round) + ".exe";
        Put(name, served);
        const std::string url = server->HttpUrl("/files/" + name + "?scenario=sig" + std::to_string(round));
        Put("main.upt", Descriptor(url, Md5Of(served)));
        auto flow = c.descriptor ? MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/f.exe")})
                                 : MakeFlow({Dead("/main.upt"), Dead("/regional.upt"), url});
        flow->DownloadPath = (dir.path() / ("dl-sig" + std::to_string(round))).string() + "/";
        flow->PackageSigners = c.pinned ? SplitPackageSigners(bytes("test-signer.sha256").substr(0, 64))
                                        : std::vector<std::string>{};
        flow->PackageRoots = [&] { return TrustedRootsFromFile(cases + "/test-ca.pem"); };
        flow->StartInstall();
        ASSERT_TRUE(RunToOutcome());
        EXPECT_TRUE(view.Has("hold"));
        if (!c.refusal) {
            EXPECT_TRUE(view.Has("run"));
            EXPECT_TRUE(view.Has("success-page"));
        } else {
            EXPECT_FALSE(view.Has("run"));
            EXPECT_TRUE(view.Has("failure-page"));
            const auto line = std::find_if(view.traces.begin(), view.traces.end(), [](const std::string& t) {
                return t.rfind("package not started: ", 0) == 0;
            });
            ASSERT_NE(line, view.traces.end());
            EXPECT_NE(line->find(c.refusal), std::string::npos) << *line;
        }
    }
}

TEST_F(InstallFlowTest, OverrideFileRedirectsTheDescriptorsAndThePackage) {
    Put("other.exe", PackageBytes(200'000, 'o'));
    Put("override.upt", Descriptor(Dead("/nowhere.exe"), "ffff"));
    view.themeChosen = true;
    auto flow = MakeFlow({Dead("/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    fs::create_directories(flow->DownloadPath);
    std::ofstream(flow->DownloadPath + "test.ini")
        << "[Test]\r\nUPT_URL=" << server->HttpUrl("/files/override.upt") << "\r\nZYR_URL="
        << server->HttpUrl("/files/other.exe?scenario=ovr") << "\r\nMD5=" << Md5Of(PackageBytes(200'000, 'o'))
        << "\r\n";
    flow->TestHooks = true;  // the administrator allowed the test hooks
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_EQ(flow->DescriptorMD5(), "ffff");  // the descriptor came through the override
    EXPECT_FALSE(server->Stats("ovr").requests.empty());
    EXPECT_TRUE(view.Has("run"));
    EXPECT_TRUE(flow->ThemeCheck());  // verified against the override's MD5
}

// Nothing cancels a running package: a close from the system while it runs sends the
// installer to the notification area, and the flow goes on to its outcome.
TEST_F(InstallFlowTest, CloseWhileThePackageRunsMinimisesInsteadOfEnding) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=pkg"), Md5Of(package)));
    view.themeChosen = true;
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    std::vector<bool> answers;
    view.whilePackageRuns = [&] {
        if (answers.empty()) {
            answers.push_back(flow->CloseQuery(false, true));  // Alt+F4
            answers.push_back(flow->CloseQuery(true, true));   // the close button's way
        }
    };
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_EQ(answers, (std::vector<bool>{false, false}));
    EXPECT_EQ(std::count(view.log.begin(), view.log.end(), "minimise"), 2);
    EXPECT_FALSE(view.Has("ask"));
    EXPECT_FALSE(view.Has("end"));
    EXPECT_FALSE(flow->Closing);
    EXPECT_TRUE(view.Has("success-page"));
}

// A release build takes the package only from an https address: a descriptor naming
// an http one is read for its MD5, and the package comes from the built-in address.
TEST_F(InstallFlowTest, ReleaseBuildTakesThePackageFromHttpsAddressesOnly) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=plain"), Md5Of(package)));
    view.themeChosen = true;
    auto flow = MakeFlow({server->HttpsUrl("/files/main.upt"), Dead("/regional.upt"),
                          server->HttpsUrl("/files/pkg.exe?scenario=builtin")});
    flow->SchemePolicy = TSchemePolicy::HttpsOnly;
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_TRUE(server->Stats("plain").requests.empty());
    EXPECT_FALSE(server->Stats("builtin").requests.empty());
    EXPECT_TRUE(view.Has("success-page"));
    EXPECT_TRUE(flow->ThemeCheck());  // verified against the descriptor's MD5
    EXPECT_EQ(std::count(view.traces.begin(), view.traces.end(),
                         "descriptor's package address refused: not https: " +
                             server->HttpUrl("/files/pkg.exe?scenario=plain")),
              1);
}

// A "test.ini" planted in the download folder (a ProgramData folder a user may have
// created first) points at another descriptor and package; without the test hooks
// the flow keeps to its own servers and says once that it left the file unread.
TEST_F(InstallFlowTest, OverrideFileIsIgnoredWithoutTheTestHooks) {
    const std::string planted = PackageBytes(200'000, 'e');
    Put("planted.exe", planted);
    Put("planted.upt", Descriptor(server->HttpUrl("/files/planted.exe?scenario=planted"), Md5Of(planted)));
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=own"), Md5Of(package)));
    view.themeChosen = true;
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    fs::create_directories(flow->DownloadPath);
    std::ofstream(flow->DownloadPath + "test.ini")
        << "[Test]\r\nUPT_URL=" << server->HttpUrl("/files/planted.upt") << "\r\nZYR_URL="
        << server->HttpUrl("/files/planted.exe?scenario=planted") << "\r\nMD5=" << Md5Of(planted) << "\r\n";
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_EQ(flow->DescriptorMD5(), Md5Of(package));
    EXPECT_TRUE(server->Stats("planted").requests.empty());
    EXPECT_FALSE(server->Stats("own").requests.empty());
    EXPECT_TRUE(view.Has("success-page"));
    EXPECT_EQ(std::count(view.traces.begin(), view.traces.end(), "test.ini ignored: test hooks are off"), 1);
}

TEST_F(InstallFlowTest, PackageOfAnotherVersionIsDeletedBeforeTheDownload) {
    Put("main.upt", Descriptor(server->HttpUrl("/files/pkg.exe?scenario=old"), Md5Of(package)));
    view.themeChosen = true;
    auto flow = MakeFlow({server->HttpUrl("/files/main.upt"), Dead("/regional.upt"), Dead("/fallback.exe")});
    fs::create_directories(flow->DownloadPath);
    // A partial package of another version with its state file.
    std::ofstream(flow->DownloadPath + "ZYR_Setup.exe", std::ios::binary) << std::string(1000, 'x');
    std::ofstream(flow->DownloadPath + "ZYR_Setup.exe.dat") << "[GLOBAL]\r\nDownloadConfigMD5=0123\r\n";
    flow->StartInstall();
    ASSERT_TRUE(RunToOutcome());
    EXPECT_EQ(flow->LastMD5(), "0123");
    EXPECT_TRUE(view.Has("success-page"));
    EXPECT_TRUE(flow->ThemeCheck());  // the new package downloaded whole and verified
}

}  // namespace
