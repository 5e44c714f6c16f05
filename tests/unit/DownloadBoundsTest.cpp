// The bounds on sizes from outside: checked arithmetic, the Content-Range a part
// answer carries and the state file read back to continue a download.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <limits>

#include "Installer/Downloader/download/DownloadState.h"
#include "net/HttpCli.h"
#include "public/rdcontrol/base/CheckedMath.h"
#include "tests/unit/TempDir.h"

namespace {

constexpr std::int64_t kMax64 = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();

TEST(CheckedMath, ExactResultsOrNone) {
    struct Case {
        std::int64_t a, b;
        std::optional<std::int64_t> sum, product;
    } cases[] = {
        {2, 3, 5, 6},
        {kMax64, 0, kMax64, 0},
        {kMax64, 1, std::nullopt, kMax64},
        {kMax64 / 2 + 1, 2, kMax64 / 2 + 3, std::nullopt},
        {kMin64, -1, std::nullopt, std::nullopt},
        {std::int64_t{1} << 32, std::int64_t{1} << 31, (std::int64_t{1} << 32) + (std::int64_t{1} << 31), std::nullopt},
        {std::int64_t{4} << 30, 64, (std::int64_t{4} << 30) + 64, std::int64_t{256} << 30},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckedAdd(c.a, c.b), c.sum) << c.a << " + " << c.b;
        EXPECT_EQ(CheckedMul(c.a, c.b), c.product) << c.a << " * " << c.b;
    }
    EXPECT_EQ(CheckedSub(kMin64, std::int64_t{1}), std::nullopt);
    EXPECT_EQ(CheckedSub(std::int64_t{5}, std::int64_t{7}), -2);
}

TEST(CheckedMath, SizesInThirtyTwoBits) {
    // What a 32-bit process computes for width x height x 4.
    EXPECT_EQ(CheckedSize<std::uint32_t>({4096, 4096, 4}), std::uint32_t{64} << 20);
    EXPECT_EQ(CheckedSize<std::uint32_t>({65536, 16384, 4}), std::nullopt) << "2^32 wraps to 0";
    EXPECT_EQ(CheckedSize<std::uint32_t>({40000, 30000, 4}), std::nullopt);
    EXPECT_EQ(CheckedSize<std::int32_t>({-200, -300, 4}), std::nullopt) << "negative sizes never multiply to positive";
    EXPECT_EQ(CheckedSize<std::int32_t>({0, 300, 4}), 0);
}

TEST(ContentRange, OnlyOrderedRangesInsideTheLengthHaveAStart) {
    struct Case {
        const char* value;
        std::int64_t start;
    } cases[] = {
        {"bytes 100-199/5000", 100},
        {"bytes 0-0/1", 0},
        {"BYTES 5-9/*", 5},
        {"bytes 4999-4999/5000", 4999},
        {"bytes 5000-5000/5000", kContentRangeInvalid},  // past the end
        {"bytes 200-100/5000", kContentRangeInvalid},    // inverted
        {"bytes -5-10/5000", kContentRangeInvalid},
        {"bytes 9223372036854775807-9223372036854775807/9223372036854775807", kContentRangeInvalid},
        {"bytes 99999999999999999999-1/2", kContentRangeInvalid},  // past 63 bits
        {"bytes */5000", kContentRangeInvalid},
        {"bytes 1-2/3x", kContentRangeInvalid},
        {"bytes 1-2", kContentRangeInvalid},
        {"items 1-2/3", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseContentRangeStart(c.value), c.start) << c.value;
}

// State files as a stopped download leaves them, and as someone may have changed them.
TEST(DownloadState, CountsOutOfRangeAreNeverTrusted) {
    const std::string good = "[GLOBAL]\nUrl=http://h/p\nDownloadConfigMD5=abc\nContentLength=101\nPartCount=2\n"
                             "[PART_0]\nStartOffset=0\nEndOffset=50\nDataCount=51\n"
                             "[PART_1]\nStartOffset=51\nEndOffset=101\nDataCount=7\n";
    struct Case {
        const char* name;
        std::string text;
        bool trusted;
    } cases[] = {
        {"as saved", good, true},
        {"length 0", "[GLOBAL]\nContentLength=0\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=0\nDataCount=0\n", false},
        {"length past the bound",
         "[GLOBAL]\nContentLength=4294967297\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=4294967297\nDataCount=0\n",
         false},
        {"length at the bound",
         "[GLOBAL]\nContentLength=4294967296\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=4294967296\nDataCount=5\n",
         true},
        {"length past 64 bits",
         "[GLOBAL]\nContentLength=99999999999999999999\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=9\nDataCount=0\n",
         false},
        {"largest 64-bit end",
         "[GLOBAL]\nContentLength=101\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=9223372036854775807\n"
         "DataCount=0\n",
         false},
        {"no parts", "[GLOBAL]\nContentLength=101\nPartCount=0\n", false},
        {"too many parts", "[GLOBAL]\nContentLength=101\nPartCount=65\n", false},
        {"a part missing", "[GLOBAL]\nContentLength=101\nPartCount=2\n[PART_1]\nStartOffset=0\nEndOffset=101\n", false},
        {"negative count", good.substr(0, good.size() - 12) + "DataCount=-7\n", false},
        {"count past its part", good.substr(0, good.size() - 12) + "DataCount=52\n", false},
        {"count not a number", good.substr(0, good.size() - 12) + "DataCount=lots\n", false},
        {"gap between parts",
         "[GLOBAL]\nContentLength=101\nPartCount=2\n[PART_0]\nStartOffset=0\nEndOffset=40\nDataCount=0\n"
         "[PART_1]\nStartOffset=51\nEndOffset=101\nDataCount=0\n",
         false},
        {"overlapping parts",
         "[GLOBAL]\nContentLength=101\nPartCount=2\n[PART_0]\nStartOffset=0\nEndOffset=60\nDataCount=0\n"
         "[PART_1]\nStartOffset=51\nEndOffset=101\nDataCount=0\n",
         false},
        {"short of the end",
         "[GLOBAL]\nContentLength=101\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=90\nDataCount=0\n", false},
        {"end past the length",
         "[GLOBAL]\nContentLength=101\nPartCount=1\n[PART_0]\nStartOffset=0\nEndOffset=102\nDataCount=0\n", false},
    };
    TempDir dir;
    const std::string file = (dir.path() / "package.exe.dat").string();
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::trunc) << c.text;
        const std::optional<TDownloadState> state = ReadDownloadState(file);
        EXPECT_EQ(state.has_value(), c.trusted) << c.name;
    }
    std::ofstream(file, std::ios::trunc) << good;
    const std::optional<TDownloadState> state = ReadDownloadState(file);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->contentLength, 101);
    EXPECT_EQ(state->url, "http://h/p");
    EXPECT_EQ(state->md5, "abc");
    ASSERT_EQ(state->parts.size(), 2u);
    EXPECT_EQ(state->parts[1].startOffset, 51);
    EXPECT_EQ(state->parts[1].endOffset, 101);
    EXPECT_EQ(state->parts[1].dataCount, 7);
    EXPECT_FALSE(ReadDownloadState((dir.path() / "missing.dat").string()));
}

TEST(DownloadState, PartByteCountOfTheSplit) {
    // 100 bytes in 4 parts: 0-25, 26-51, 52-77 and 78-100 (the last ends at the length).
    EXPECT_EQ(PartByteCount(0, 25, 100), 26);
    EXPECT_EQ(PartByteCount(78, 100, 100), 22);
    EXPECT_EQ(PartByteCount(50, 40, 100), 0);
    EXPECT_EQ(PartByteCount(0, kMaxDownloadBytes, kMaxDownloadBytes), kMaxDownloadBytes);
}

}  // namespace
