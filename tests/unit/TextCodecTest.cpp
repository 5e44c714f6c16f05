#include "public/rdcontrol/base/TextCodec.h"

#include <gtest/gtest.h>

TEST(TextCodec, Utf8Utf16RoundTripIncludingAstralPlane) {
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // a é 中 😀
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, (std::u16string{u'a', 0x00E9, 0x4E2D, 0xD83D, 0xDE00}));
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(TextCodec, MalformedInputBecomesReplacementCharacters) {
    // Lone continuation byte, truncated sequence, overlong "/", encoded surrogate.
    EXPECT_EQ(Utf8ToUtf16("\x80"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("x\xE4\xB8"), u"x\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800, u'a'}), "\xEF\xBF\xBD" "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00}), "\xEF\xBF\xBD");
}

TEST(TextCodec, Windows1252OnTheHost) {
    EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80 \x9F"), "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8");
    EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD"), "caf\xE9 \x80 ?");
}
