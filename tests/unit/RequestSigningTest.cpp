#include "services/RequestSigning.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "services/Md5.h"
#include "tests/unit/CryptoVectors.h"

namespace {

bool IsLowerHex(const std::string& s) { return s.find_first_not_of("0123456789abcdef") == std::string::npos; }

}  // namespace

TEST(RequestSigning, KnownAnswers) {
    const auto& v = CryptoVectors();
    for (const auto& c : v.at("url_encode")) {
        EXPECT_EQ(UrlEncodeUtf8(c.at("text").get<std::string>()), c.at("expected")) << c.at("text");
    }
    for (const auto& c : v.at("scramble")) {
        const auto text = c.at("text").get<std::string>();
        EXPECT_EQ(ScrambleText(text), c.at("expected")) << text;
        EXPECT_EQ(UnscrambleText(c.at("expected").get<std::string>()), text) << text;
    }
    for (const auto& c : v.at("sign")) EXPECT_EQ(SignText(c.at("text").get<std::string>()), c.at("expected"));
    for (const auto& c : v.at("signed_body")) {
        EXPECT_EQ(BuildSignedBody(c.at("text").get<std::string>()), c.at("expected")) << c.at("text");
    }
    // The host's ANSI code page is Windows-1252; "中文" hashes as "??".
    for (const auto& c : v.at("md5_ansi")) {
        EXPECT_EQ(Md5Hex(c.at("text").get<std::string>()), c.at("expected")) << c.at("text");
    }
}

TEST(RequestSigning, SignedBodyIsSignatureDotScrambledForm) {
    for (const std::string text : {"{}", "{\"q\":\"caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xD0\xBC\xD0\xB8\xD1\x80\"}"}) {
        const std::string body = BuildSignedBody(text);
        ASSERT_GT(body.size(), 65u);
        EXPECT_EQ(body[64], '.');  // the 65th character
        const std::string signature = body.substr(0, 64);
        const std::string scrambled = body.substr(65);
        EXPECT_TRUE(IsLowerHex(signature)) << signature;
        EXPECT_EQ(signature, SignText(scrambled));
        EXPECT_EQ(UnscrambleText(scrambled), "data=" + UrlEncodeUtf8(text));
        EXPECT_EQ(BuildSignedBody(text), body);
    }
    EXPECT_STREQ(kSignVersion, "1");
}

TEST(RequestSigning, UnscrambleRoundTripKeepsBytesEvenWhenNotUtf8) {
    std::string text;
    for (int n = 0; n <= 70; ++n) {  // every padding state and several key wraps
        EXPECT_EQ(UnscrambleText(ScrambleText(text)), text) << n;
        text += static_cast<char>('a' + n % 26);
    }
    for (const std::string& t : {std::string("Ol\xC3\xA1 \xE4\xB8\x96\xE7\x95\x8C \xF0\x9F\x98\x80"), std::string("\xFF\xFE\x00\x80", 4)}) {
        EXPECT_EQ(UnscrambleText(ScrambleText(t)), t);
    }
}

struct UnscrambleCase {
    const char* name;
    std::string input;
    std::string expected;
};

// ctest shows the case name rather than the bytes of the struct.
void PrintTo(const UnscrambleCase& c, std::ostream* os) { *os << c.name; }

class UnscrambleInput : public testing::TestWithParam<UnscrambleCase> {};

TEST_P(UnscrambleInput, WhitespaceIgnoredAnythingElseNotCanonicalGivesEmpty) {
    EXPECT_EQ(UnscrambleText(GetParam().input), GetParam().expected);
}

// "EFYX" is "abc", "EFY=" is "ab", "CQ==" is "x" (see the fixtures).
INSTANTIATE_TEST_SUITE_P(
    RequestSigning, UnscrambleInput,
    testing::Values(
        UnscrambleCase{"Empty", "", ""},
        UnscrambleCase{"OnlyWhitespace", " \r\n\t", ""},
        UnscrambleCase{"WrappedLines", "EF\r\nYX\n", "abc"},
        UnscrambleCase{"SpacesAndTabs", " E F\tY = ", "ab"},
        UnscrambleCase{"NotMultipleOfFour", "EFYXE", ""},
        UnscrambleCase{"MissingPadding", "EFY", ""},
        UnscrambleCase{"UrlSafeAlphabet", "EF-_", ""},
        UnscrambleCase{"OtherCharacter", "EF*X", ""},
        UnscrambleCase{"NulByte", std::string("EF\0X", 4), ""},
        UnscrambleCase{"HighByte", "EF\xC3\xA9", ""},
        UnscrambleCase{"PaddingInTheMiddle", "CQ==EFYX", ""},
        UnscrambleCase{"PaddingBeforeDigit", "EF=X", ""},
        UnscrambleCase{"ThreePaddingCharacters", "E===", ""},
        UnscrambleCase{"OnlyPadding", "====", ""},
        UnscrambleCase{"NonZeroBitsUnderOnePad", "EFZ=", ""},
        UnscrambleCase{"NonZeroBitsUnderTwoPads", "CR==", ""},
        UnscrambleCase{"OtherLineBreakCharacter", "EF\vYX", ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(Md5, KnownAnswersFedInPieces) {
    TMd5 md5;
    EXPECT_EQ(md5.HexDigest(), "d41d8cd98f00b204e9800998ecf8427e");
    md5.Update(std::string_view("The quick brown fox "));
    md5.Update(std::string_view("jumps over the lazy dog"));
    EXPECT_EQ(md5.HexDigest(), "9e107d9d372bb6826bd81d3542a419d6");
    // Reading the digest does not end it: feeding goes on from the same state.
    md5.Update(std::string_view("."));
    EXPECT_EQ(md5.HexDigest(), "e4d909c290d0fb1ca068ffaddf22cbd0");

    // A million "a", in uneven pieces as downloaded blocks arrive.
    md5.Reset();
    const std::vector<std::uint8_t> a(1'000'000, 'a');
    size_t at = 0;
    for (size_t piece = 1; at < a.size(); piece = piece * 3 + 1) {
        const size_t n = std::min(piece, a.size() - at);
        md5.Update(std::span(a).subspan(at, n));
        at += n;
    }
    EXPECT_EQ(md5.HexDigest(), "7707d6ae4e027c70eea2a935c2296f21");
}
