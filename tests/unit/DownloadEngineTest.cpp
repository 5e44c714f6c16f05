// The download engine against the project's own test server on loopback: the split,
// the faults a real network brings, interruptions, and bad input. Each case checks
// the outcome the installer would see and, where it matters, what the server was
// asked for and sent.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Installer/Downloader/download/uDownloader.h"
#include "os/FileBytes.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "tests/support/TestServer.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Outcome {
    bool finished = false, success = false;
    int code = 0;
};

// Ranged requests are the parts; the one without a range is a probe.
std::vector<TestServerRequest> Ranged(const TestServerStats& stats) {
    std::vector<TestServerRequest> out;
    for (const auto& r : stats.requests)
        if (!r.range.empty()) out.push_back(r);
    return out;
}

std::int64_t RangedBytes(const TestServerStats& stats) {
    std::int64_t sum = 0;
    for (const auto& r : Ranged(stats)) sum += r.bodyBytes;
    return sum;
}

class DownloadEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new TestServer({{"--proxy-port", "0"}, {}}); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override { server->Reset(); }

    std::unique_ptr<TDownloader> NewDownloader() {
        auto d = std::make_unique<TDownloader>(*loop, internet, disks);
        d->TlsCaFile = server->CaFile().string();
        return d;
    }

    Outcome Run(TDownloader& d, const std::string& url, std::chrono::seconds limit = 60s) {
        Outcome o;
        d.OnFinished = [&](bool success, int code, const std::string&, const std::string&) {
            o.finished = true;
            o.success = success;
            o.code = code;
        };
        d.Start(file, url);
        loop->RunUntil([&] { return o.finished; }, limit);
        return o;
    }

    std::string FileMd5() const { return FileMD5(file); }

    static TestServer* server;
    TempDir dir;
    std::string file = (dir.path() / "package.exe").string();
    std::unique_ptr<EventLoop> loop = MakeEventLoop();
    FakeInternetSettings internet;
    FakeFreeSpace disks;
};

TestServer* DownloadEngine::server = nullptr;

std::string Gen(const std::string& name, std::int64_t size, const std::string& extra = "") {
    return "/gen/" + name + "?size=" + std::to_string(size) + "&scenario=" + name + extra;
}

TEST_F(DownloadEngine, FourRangedPartsOverHttpAndHttpsVerified) {
    for (const bool https : {false, true}) {
        const std::int64_t size = 3'000'001;
        const std::string name = https ? "happy-https" : "happy-http";
        auto d = NewDownloader();
        d->CheckMD5 = true;
        d->ExpectedMD5 = TestServer::GeneratedMd5(name, size);
        const std::string path = Gen(name, size);
        const Outcome o = Run(*d, https ? server->HttpsUrl(path) : server->HttpUrl(path));
        ASSERT_TRUE(o.finished);
        EXPECT_TRUE(o.success);
        EXPECT_EQ(o.code, kDownloadOk);
        EXPECT_EQ(FileMd5(), d->ExpectedMD5);
        const TestServerStats stats = server->Stats(name);
        std::vector<std::string> ranges;
        for (const auto& r : Ranged(stats)) ranges.push_back(r.range);
        std::sort(ranges.begin(), ranges.end());
        EXPECT_EQ(ranges, (std::vector<std::string>{"bytes=0-750000", "bytes=1500002-2250002", "bytes=2250003-3000001",
                                                    "bytes=750001-1500001"}));
        EXPECT_EQ(RangedBytes(stats), size) << "every byte fetched exactly once";
        for (const auto& r : Ranged(stats)) EXPECT_EQ(r.scheme, https ? "https" : "http");
        fs::remove(file);
        fs::remove(file + ".dat");
    }
}

TEST_F(DownloadEngine, OneConnectionWithoutRangesOrForSmallFiles) {
    struct Case {
        std::string name;
        std::int64_t size;
        std::string faults;
    };
    for (const Case& c : {Case{"small", 1000, ""}, Case{"noranges", 2'000'000, "&noranges=1"}}) {
        auto d = NewDownloader();
        const Outcome o = Run(*d, server->HttpUrl(Gen(c.name, c.size, c.faults)));
        EXPECT_TRUE(o.success) << c.name;
        EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5(c.name, c.size)) << c.name;
        const auto parts = Ranged(server->Stats(c.name));
        ASSERT_EQ(parts.size(), 1u) << c.name;
        EXPECT_EQ(parts[0].range, "bytes=0-" + std::to_string(c.size)) << c.name;
        fs::remove(file);
        fs::remove(file + ".dat");
    }
}

TEST_F(DownloadEngine, ServerIgnoringRangesRestartsOnOneConnection) {
    const std::int64_t size = 2'000'000;
    auto d = NewDownloader();
    d->CheckMD5 = true;
    d->ExpectedMD5 = TestServer::GeneratedMd5("ignore", size);
    const Outcome o = Run(*d, server->HttpUrl(Gen("ignore", size, "&ignoreranges=1")));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(o.code, kDownloadOk);
    EXPECT_EQ(FileMd5(), d->ExpectedMD5);
    EXPECT_EQ(d->PartCount, 1);
    EXPECT_EQ(d->ReDownCount, 1);
}

TEST_F(DownloadEngine, Md5MismatchIsRetriedThenReportedUnverifiedWithTheFileKept) {
    const std::int64_t size = 1'500'000;
    auto d = NewDownloader();
    d->CheckMD5 = true;
    d->ExpectedMD5 = TestServer::GeneratedMd5("corrupt", size);
    const Outcome o = Run(*d, server->HttpUrl(Gen("corrupt", size, "&corrupt=1")));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(o.code, kDownloadUnverified);
    EXPECT_EQ(d->ReDownCount, 3);
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(file)), size);
    EXPECT_NE(FileMd5(), d->ExpectedMD5);
}

TEST_F(DownloadEngine, EmptyExpectedMd5CompletesUnverified) {
    auto d = NewDownloader();
    d->CheckMD5 = true;
    const Outcome o = Run(*d, server->HttpUrl(Gen("nomd5", 100'000)));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(o.code, kDownloadNoExpectedMd5);
    EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5("nomd5", 100'000));
}

TEST_F(DownloadEngine, StallIsReportedOnceAfterTheAttemptWasAbortedAndSaved) {
    TMultipartHttpDownloader http(*loop);
    auto target = TFileStream::Open(file, TFileStream::Mode::CreateExclusive);
    http.FileStream = target.get();
    http.Url = server->HttpUrl(Gen("stall", 4'000'000, "&stall_after=200000"));
    http.SetStateFileName(file + ".dat");
    http.TimeOut = 2;
    int timeOuts = 0;
    bool abortedBefore = false, savedBefore = false;
    http.OnTimeOut = [&](TMultipartHttpDownloader& h) {
        ++timeOuts;
        abortedBefore = h.AbortFlag;
        savedBefore = fs::exists(file + ".dat");
    };
    http.Start();
    loop->Sleep(5s);
    EXPECT_EQ(timeOuts, 1);
    EXPECT_TRUE(abortedBefore);
    EXPECT_TRUE(savedBefore);
    EXPECT_GT(http.TotalCount, 0);
}

TEST_F(DownloadEngine, Http10Answered426IsRepeatedWithHttp11) {
    auto d = NewDownloader();
    const Outcome o = Run(*d, server->HttpUrl(Gen("need11", 500'000, "&need11=1")));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5("need11", 500'000));
    const auto stats = server->Stats("need11");
    ASSERT_FALSE(stats.requests.empty());
    EXPECT_EQ(stats.requests.front().status, 426);
    EXPECT_EQ(stats.requests.front().version, "HTTP/1.0");
    for (const auto& r : Ranged(stats)) EXPECT_EQ(r.version, "HTTP/1.1");
}

TEST_F(DownloadEngine, RedirectToHttpsMovesThePartsToTls) {
    auto d = NewDownloader();
    const Outcome o = Run(*d, server->HttpUrl("/to-https" + Gen("tohttps", 800'000)));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5("tohttps", 800'000));
    const auto parts = Ranged(server->Stats("tohttps"));
    EXPECT_EQ(parts.size(), 4u);
    for (const auto& r : parts) EXPECT_EQ(r.scheme, "https");
}

TEST_F(DownloadEngine, SystemProxyIsTriedAfterTheRetries) {
    internet.setting = {true, "127.0.0.1:" + std::to_string(server->ProxyPort())};
    // The first four requests (the direct attempts) lose their connection; the fifth,
    // through the proxy, is served.
    {
        auto d = NewDownloader();
        const Outcome o = Run(*d, server->HttpUrl(Gen("viaproxy", 300'000, "&drop_headers=1&fault_times=4")));
        EXPECT_TRUE(o.success);
        EXPECT_EQ(d->ProxyType, TProxyType::WindowsIE);
        EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5("viaproxy", 300'000));
        EXPECT_FALSE(server->Stats("viaproxy").proxyRequests.empty());
    }
    fs::remove(file);
    fs::remove(file + ".dat");
    // The proxy fails too: code 2.
    auto d = NewDownloader();
    const Outcome o = Run(*d, server->HttpUrl(Gen("proxyfails", 300'000, "&drop_headers=1")));
    EXPECT_TRUE(o.finished);
    EXPECT_FALSE(o.success);
    EXPECT_EQ(o.code, kDownloadProxyExhausted);
}

TEST_F(DownloadEngine, StateFileForAnotherLengthIsDiscardedAndTheFileEmptied) {
    const std::int64_t size = 600'000;
    std::ofstream(file, std::ios::binary) << std::string(5000, 'x');
    std::ofstream(file + ".dat") << "[GLOBAL]\nContentLength=5000\nPartCount=4\n[PART_0]\nStartOffset=0\nEndOffset=1250\n"
                                    "DataCount=1251\n";
    auto d = NewDownloader();
    const Outcome o = Run(*d, server->HttpUrl(Gen("otherlength", size)));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5("otherlength", size));
    EXPECT_EQ(RangedBytes(server->Stats("otherlength")), size);
}

TEST_F(DownloadEngine, GarbageInTheStateFileNeverCorruptsTheDownload) {
    const std::int64_t size = 400'000;
    const std::string sections[] = {
        "[PART_0]\nStartOffset=0\nEndOffset=100000\nDataCount=-5000\n",
        "[PART_0]\nStartOffset=0\nEndOffset=100000\nDataCount=999999999999\n",
        "[PART_0]\nStartOffset=0\nEndOffset=100000\nDataCount=lots\n",
        "[PART_1]\nStartOffset=50\nEndOffset=399999\nDataCount=200000\n",  // overlaps part 0
    };
    int n = 0;
    for (const std::string& section : sections) {
        const std::string name = "garbage" + std::to_string(n++);
        std::ofstream(file, std::ios::binary) << std::string(size, 'g');
        std::ofstream(file + ".dat") << "[GLOBAL]\nContentLength=" << size << "\nPartCount=4\n" << section;
        auto d = NewDownloader();
        d->CheckMD5 = true;
        d->ExpectedMD5 = TestServer::GeneratedMd5(name, size);
        const Outcome o = Run(*d, server->HttpUrl(Gen(name, size)));
        EXPECT_TRUE(o.success) << section;
        EXPECT_EQ(o.code, kDownloadOk) << section;
        EXPECT_EQ(FileMd5(), d->ExpectedMD5) << section;
    }
}

// A length the server claims is checked before the file grows: past the engine's
// bound, or past what the download folder's drive has free, the download ends at
// once with code 7, nothing written and nothing retried.
TEST_F(DownloadEngine, LengthPastTheBoundOrTheFreeSpaceIsRefusedBeforeTheFileGrows) {
    struct Case {
        std::string name;
        std::string extra;  // faults
        std::optional<std::uint64_t> freeBytes;
        bool refused;
    } cases[] = {
        {"absurd", "&claim_length=4611686018427387904", 100ull << 30, true},
        {"pastbound", "&claim_length=" + std::to_string(kMaxDownloadBytes + 1), 100ull << 30, true},
        {"nospace", "", 1'000'000, true},
        {"justenough", "", 2'000'000, false},
        {"unknownspace", "", std::nullopt, false},
    };
    for (const Case& c : cases) {
        disks.freeBytes = c.freeBytes;
        disks.asked.clear();
        auto d = NewDownloader();
        const Outcome o = Run(*d, server->HttpUrl(Gen(c.name, 2'000'000, c.extra)));
        ASSERT_TRUE(o.finished) << c.name;
        const TestServerStats stats = server->Stats(c.name);
        if (c.refused) {
            EXPECT_FALSE(o.success) << c.name;
            EXPECT_EQ(o.code, kDownloadTooLarge) << c.name;
            EXPECT_EQ(stats.requests.size(), 1u) << c.name << ": the probe only, no retry";
            EXPECT_TRUE(Ranged(stats).empty()) << c.name;
            EXPECT_FALSE(fs::exists(file)) << c.name;
            EXPECT_FALSE(fs::exists(file + ".dat")) << c.name;
        } else {
            EXPECT_TRUE(o.success) << c.name;
            EXPECT_EQ(FileMd5(), TestServer::GeneratedMd5(c.name, 2'000'000)) << c.name;
        }
        if (c.name == "nospace") {
            ASSERT_FALSE(disks.asked.empty());
            EXPECT_EQ(fs::path(disks.asked.back()), dir.path() / "") << "the download folder's drive";
        }
        fs::remove(file);
        fs::remove(file + ".dat");
    }
}

// A paused download continues from its state file, which lies where others may
// write: counts out of range there (a length of 2^62, a count past it) are not
// trusted, and the download starts over instead of asking for and writing at them.
TEST_F(DownloadEngine, ResumeIgnoresAStateFileWithCountsOutOfRange) {
    const std::int64_t size = 2'000'000;
    auto d = NewDownloader();
    d->CheckMD5 = true;
    d->ExpectedMD5 = TestServer::GeneratedMd5("planted", size);
    Outcome o;
    d->OnFinished = [&](bool success, int code, const std::string&, const std::string&) {
        o = {true, success, code};
    };
    d->Start(file, server->HttpUrl(Gen("planted", size, "&rate=200000")));
    ASSERT_TRUE(loop->RunUntil([&] { return d->Http() && d->Http()->TotalCount > 100'000; }, 30s));
    d->Pause();
    loop->Sleep(500ms);  // the parts report and the state is saved
    ASSERT_TRUE(fs::exists(file + ".dat"));
    std::ofstream(file + ".dat", std::ios::trunc)
        << "[GLOBAL]\nContentLength=4611686018427387904\nPartCount=1\n[PART_0]\nStartOffset=0\n"
           "EndOffset=4611686018427387904\nDataCount=4611686018427387000\n";
    d->Resume();
    ASSERT_TRUE(loop->RunUntil([&] { return o.finished; }, 60s));
    EXPECT_TRUE(o.success);
    EXPECT_EQ(o.code, kDownloadOk);
    EXPECT_EQ(FileMd5(), d->ExpectedMD5);
    EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(file)), size);
    for (const auto& r : Ranged(server->Stats("planted"))) {
        long long first = -1, last = -1;
        ASSERT_EQ(std::sscanf(r.range.c_str(), "bytes=%lld-%lld", &first, &last), 2) << r.range;
        EXPECT_LE(last, size) << "asked for bytes the state file made up: " << r.range;
    }
}

TEST_F(DownloadEngine, StopAndStartAgainFetchesOnlyWhatIsMissing) {
    const std::int64_t size = 4'000'000;
    for (const int percent : {30, 60, 90}) {
        const std::string name = "resume" + std::to_string(percent);
        // Slow enough to stop where asked: 4 connections at 1 MB/s each.
        const std::string url = server->HttpUrl(Gen(name, size, "&rate=1000000"));
        {
            auto d = NewDownloader();
            d->OnFinished = [](bool, int, const std::string&, const std::string&) {};
            d->Start(file, url);
            loop->RunUntil([&] { return d->Http() && d->Http()->TotalCount >= size * percent / 100; }, 30s);
            d->Stop();
        }
        const std::int64_t kept = [&] {
            // What the stopped attempt left in its state file.
            TSafeIniFile state;
            state.LoadFromFile(file + ".dat");
            return state.ReadInteger("GLOBAL", "DownloadedSize", 0);
        }();
        EXPECT_GE(kept, size * percent / 100);
        server->Reset();
        auto d = NewDownloader();
        d->CheckMD5 = true;
        d->ExpectedMD5 = TestServer::GeneratedMd5(name, size);
        const Outcome o = Run(*d, url);
        EXPECT_TRUE(o.success) << percent;
        EXPECT_EQ(o.code, kDownloadOk) << percent;
        EXPECT_EQ(FileMd5(), d->ExpectedMD5) << percent;
        EXPECT_EQ(RangedBytes(server->Stats(name)), size - kept) << percent << "% : only the missing bytes again";
        fs::remove(file);
        fs::remove(file + ".dat");
    }
}

TEST_F(DownloadEngine, StateIsSavedWhileTheDownloadRuns) {
    auto d = NewDownloader();
    d->OnFinished = [](bool, int, const std::string&, const std::string&) {};
    d->Start(file, server->HttpUrl(Gen("periodic", 8'000'000, "&rate=500000")));
    loop->Sleep(4500ms);
    TSafeIniFile state;
    state.LoadFromFile(file + ".dat");
    EXPECT_GT(state.ReadInteger("GLOBAL", "DownloadedSize", 0), 0) << "saved without any stop";
    d->Stop();
}

TEST_F(DownloadEngine, UnreachableHostAndUntrustedCertificateEndWithCode2) {
    {
        auto d = NewDownloader();
        const Outcome o = Run(*d, "http://127.0.0.1:1/package.exe", 30s);
        EXPECT_TRUE(o.finished);
        EXPECT_FALSE(o.success);
        EXPECT_EQ(o.code, kDownloadProxyExhausted);
    }
    auto d = std::make_unique<TDownloader>(*loop, internet, disks);  // no test authority: the certificate is not trusted
    const Outcome o = Run(*d, server->HttpsUrl(Gen("untrusted", 1000)), 30s);
    EXPECT_TRUE(o.finished);
    EXPECT_FALSE(o.success);
    EXPECT_EQ(o.code, kDownloadProxyExhausted);
    EXPECT_TRUE(Ranged(server->Stats("untrusted")).empty());
}

}  // namespace

namespace {

TEST_F(DownloadEngine, FilesOfTwoGibAndMoreArriveWhole) {
    // Past what 32-bit signed offsets can address: the last part crosses 2 GiB and
    // writes and ends beyond it.
    const std::int64_t size = (std::int64_t{1} << 31) + 3 * (1 << 20) + 7;
    auto d = NewDownloader();
    d->SetNoSaveState(true);
    const Outcome o = Run(*d, server->HttpUrl(Gen("big", size)), 300s);
    ASSERT_TRUE(o.success);
    ASSERT_EQ(static_cast<std::int64_t>(fs::file_size(file)), size);
    auto stream = TFileStream::Open(file, TFileStream::Mode::OpenRead);
    ASSERT_TRUE(stream);
    for (const std::int64_t at : {std::int64_t{0}, (std::int64_t{1} << 31) - 2048, size / 2 - 2048, size - 4096}) {
        std::string got(4096, '\0');
        ASSERT_EQ(stream->ReadAt(at, got.data(), got.size()), 4096);
        EXPECT_EQ(got, TestServer::GeneratedBytes("big", static_cast<std::uint64_t>(at), 4096)) << "at " << at;
    }
    fs::remove(file);
}

}  // namespace
