// The download manager's pieces that need no server: the system-proxy rule, the
// file MD5 and the target file's exclusive opening.
#include <gtest/gtest.h>

#include <fstream>

#include "Installer/Downloader/download/uDownloader.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

namespace {

struct ProxyCase {
    const char* name;
    bool useProxy;
    std::string list;
    bool found;
    std::string host, port;
};

void PrintTo(const ProxyCase& c, std::ostream* out) { *out << c.name; }

class IEProxy : public ::testing::TestWithParam<ProxyCase> {};

TEST_P(IEProxy, SplitsTheEntryForHttp) {
    const ProxyCase& c = GetParam();
    FakeInternetSettings internet;
    internet.setting = {c.useProxy, c.list};
    const TIEProxy proxy = GetIEProxy(internet, "Http");
    EXPECT_EQ(proxy.found, c.found);
    EXPECT_EQ(proxy.host, c.host);
    EXPECT_EQ(proxy.port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IEProxy,
    ::testing::Values(ProxyCase{"HostAndPort", true, "proxy.lan:3128", true, "proxy.lan", "3128"},
                      ProxyCase{"SchemeEntry", true, "Http=h:1;ftp=f:2", true, "h", "1"},
                      // The scheme matches with exact case only; then the whole list is split.
                      ProxyCase{"LowerCaseSchemeIsNotMatched", true, "http=h:1;ftp=f:2", true, "http=h", "1;ftp=f:2"},
                      ProxyCase{"NoColonNoProxy", true, "proxyhost", false, "", "0"},
                      ProxyCase{"DirectAccess", false, "h:1", false, "", "0"},
                      ProxyCase{"EmptyList", true, "", false, "", "0"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FileMD5, KnownDigestsAcrossTheBlockSize) {
    TempDir dir;
    const std::string empty = (dir.path() / "empty").string(), abc = (dir.path() / "abc").string(),
                      big = (dir.path() / "big").string();
    std::ofstream(empty, std::ios::binary);
    std::ofstream(abc, std::ios::binary) << "abc";
    {
        // One byte more than a 5 MiB block: the last block is the remainder.
        std::ofstream out(big, std::ios::binary);
        out << std::string(5 * 1024 * 1024 + 1, 'a');
    }
    EXPECT_EQ(FileMD5(empty), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(FileMD5(abc), "900150983cd24fb0d6963f7d28e17f72");
    // hashlib.md5(b"a" * (5 * 1024 * 1024 + 1)) in Python.
    EXPECT_EQ(FileMD5(big), "c4c753e69bb853187f5854c46cf801c6");
    EXPECT_EQ(FileMD5((dir.path() / "missing").string()), "");
}

TEST(FileStream, WritesAtOffsetsAndRefusesASecondWriter) {
    TempDir dir;
    const std::string path = (dir.path() / "target.bin").string();
    std::string error;
    auto file = TFileStream::Open(path, TFileStream::Mode::CreateExclusive, &error);
    ASSERT_TRUE(file) << error;
    ASSERT_TRUE(file->WriteAt(5, "world", 5));
    ASSERT_TRUE(file->WriteAt(0, "hello", 5));
    EXPECT_EQ(file->Size(), 10);
    EXPECT_FALSE(TFileStream::Open(path, TFileStream::Mode::OpenReadWriteExclusive, &error));
    EXPECT_FALSE(error.empty());
    char buffer[16] = {};
    EXPECT_EQ(file->ReadAt(3, buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(buffer, 7), "loworld");
    ASSERT_TRUE(file->SetSize(0));
    EXPECT_EQ(file->Size(), 0);
}

TEST(TDownloaderStart, RefusesMissingNamesAndUncreatableFiles) {
    auto loop = MakeEventLoop();
    FakeInternetSettings internet;
    FakeFreeSpace disks;
    // Names given once are kept for later calls; with none at all, Start refuses.
    EXPECT_THROW(TDownloader(*loop, internet, disks).Start("", "http://127.0.0.1:9/x"), std::invalid_argument);
    EXPECT_THROW(TDownloader(*loop, internet, disks).Start("/tmp/qarto-x.bin", ""), std::invalid_argument);
    TDownloader downloader(*loop, internet, disks);

    TempDir dir;
    std::ofstream(dir.path() / "blocked") << "x";  // a file where a folder should be
    bool finished = false, success = true;
    int code = 0;
    downloader.OnFinished = [&](bool ok, int c, const std::string&, const std::string&) {
        finished = true;
        success = ok;
        code = c;
    };
    downloader.Start((dir.path() / "blocked" / "package.exe").string(), "http://127.0.0.1:9/x");
    EXPECT_TRUE(finished);
    EXPECT_FALSE(success);
    EXPECT_EQ(code, kDownloadFileError);
}

}  // namespace

TEST(SplitIntoParts, RangesAndBytesPerPart) {
    struct Case {
        std::int64_t length;
        int count;
        std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    };
    const Case cases[] = {
        {100, 4, {{0, 25}, {26, 51}, {52, 77}, {78, 100}}},
        {1024, 1, {{0, 1024}}},
        {10, 3, {{0, 3}, {4, 7}, {8, 10}}},
        // Past 4 GiB: 64-bit offsets all the way.
        {6LL << 30, 2, {{0, 3LL << 30}, {(3LL << 30) + 1, 6LL << 30}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::int64_t, std::int64_t>> got;
        for (const TPartRange& r : SplitIntoParts(c.length, c.count)) got.emplace_back(r.start, r.end);
        EXPECT_EQ(got, c.ranges) << c.length << " in " << c.count;
    }
}
