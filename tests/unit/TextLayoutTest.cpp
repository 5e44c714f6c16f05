// Line breaking, ellipsis and placement of text, with the fixed renderer: a 12-pixel
// font advances 6 pixels per code point and has 15-pixel lines, so widths below
// are written as a number of characters.
#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/TextDirection.h"
#include "public/rdcontrol/drawing/TextLayout.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

namespace {

template <typename T>
std::string CaseName(const ::testing::TestParamInfo<T>& param) {
    return param.param.Name;
}

constexpr int Char = 6;
constexpr int Line = 15;

TFontSpec Font() { return TFontSpec{}; }

std::vector<std::string> Texts(std::string_view text, const TTextBlock& layout) {
    std::vector<std::string> lines;
    for (const TTextLine& line : layout.Lines) lines.push_back(LineText(text, line));
    return lines;
}

struct TBreakCase {
    const char* Name;
    std::string Text;
    int WidthChars;
    int HeightLines;
    unsigned Flags;
    std::vector<std::string> Lines;
    bool Cut;
};
void PrintTo(const TBreakCase& c, std::ostream* out) { *out << c.Name; }

class TextBreaking : public ::testing::TestWithParam<TBreakCase> {};

TEST_P(TextBreaking, LinesAreAsExpected) {
    const TBreakCase& c = GetParam();
    TFixedTextRenderer renderer;
    const TTextBlock layout =
        LayoutText(renderer, Font(), c.Text, TRect{0, 0, c.WidthChars * Char, c.HeightLines * Line}, c.Flags);
    EXPECT_EQ(Texts(c.Text, layout), c.Lines);
    EXPECT_EQ(layout.Cut, c.Cut);
    for (std::size_t i = 0; i < layout.Lines.size(); ++i) {
        EXPECT_EQ(layout.Lines[i].Y, static_cast<int>(i) * Line);
        EXPECT_EQ(layout.Lines[i].Width, renderer.TextWidth(Font(), LineText(c.Text, layout.Lines[i])));
    }
}

constexpr unsigned Wrap = tfWordBreak;
constexpr unsigned WrapEllipsis = tfWordBreak | tfEndEllipsis;

INSTANTIATE_TEST_SUITE_P(
    Cases, TextBreaking,
    ::testing::Values(
        TBreakCase{"EmptyTextHasNoLines", "", 10, 10, Wrap, {}, false},
        TBreakCase{"HardBreaksOfEveryKind", "ab\ncd\r\nef\rgh", 10, 10, 0, {"ab", "cd", "ef", "gh"}, false},
        TBreakCase{"BlankLineKept", "ab\n\ncd", 10, 10, Wrap, {"ab", "", "cd"}, false},
        TBreakCase{"TrailingBreakLeavesEmptyLine", "ab\r\n", 10, 10, 0, {"ab", ""}, false},
        TBreakCase{"SingleLineIgnoresBreaksAndWrap", "ab\ncd ef", 3, 10, tfSingleLine | Wrap, {"ab\ncd ef"}, true},
        TBreakCase{"NoWrapLongLineOverflows", "abcdefghij", 6, 1, 0, {"abcdefghij"}, true},
        TBreakCase{"WrapsAtSpaces", "aaa bbb ccc", 7, 10, Wrap, {"aaa bbb", "ccc"}, false},
        TBreakCase{"SpacesAtWrapNotDrawn", "aaa    bbb", 5, 10, Wrap, {"aaa", "bbb"}, false},
        TBreakCase{"ParagraphLeadingSpacesKept", "  aa bb", 5, 10, Wrap, {"  aa", "bb"}, false},
        TBreakCase{"LongWordBreaksInside", "abcdefghij", 4, 10, Wrap, {"abcd", "efgh", "ij"}, false},
        TBreakCase{"LongWordStartsOnItsOwnLine", "ab cdefghij", 4, 10, Wrap, {"ab", "cdef", "ghij"}, false},
        TBreakCase{"ZeroWidthStillProgresses", "abc", 0, 10, Wrap, {"a", "b", "c"}, true},
        TBreakCase{"ExactFitIsNotCut", "abc def", 7, 1, WrapEllipsis, {"abc def"}, false},
        TBreakCase{"EllipsisDropsWholeWords", "aaa bbb ccc ddd eee", 8, 2, WrapEllipsis, {"aaa bbb", "ccc..."}, true},
        TBreakCase{"WrapCharEllipsisCutsAnywhere", "aaa bbb ccc ddd eee", 8, 2, WrapEllipsis | tfWrapChar,
                   {"aaa bbb", "ccc d..."}, true},
        TBreakCase{"WrapCharBreaksLastLineInsideWord", "aaa bbbbb cc", 6, 1, Wrap | tfWrapChar,
                   {"aaa bb", "bbb cc"}, true},
        TBreakCase{"WrapCharAboveLastLineStillAtWords", "aa bbbb cc", 6, 2, Wrap | tfWrapChar,
                   {"aa", "bbbb c", "c"}, true},
        TBreakCase{"AtLeastOneLineWhenNoneFits", "aaa bbb", 5, 0, WrapEllipsis, {"aa..."}, true},
        TBreakCase{"EllipsisAfterLastLineOfParagraph", "abc\ndef", 10, 1, WrapEllipsis, {"abc..."}, true},
        TBreakCase{"TrailingBreakIsNoLostText", "abc\n", 10, 1, WrapEllipsis, {"abc"}, false},
        TBreakCase{"NoWrapEllipsisShortensLongLine", "abcdefghij", 6, 1, tfEndEllipsis, {"abc..."}, true},
        TBreakCase{"NoWrapEllipsisNoSpaceBeforeDots", "ab   cdefgh", 6, 1, tfEndEllipsis, {"ab..."}, true},
        TBreakCase{"NoWrapEllipsisPerLineAndByHeight", "abcdefgh\nab\ncd", 6, 2, tfEndEllipsis,
                   {"abc...", "ab..."}, true},
        TBreakCase{"EllipsisWiderThanRectangle", "abcdef", 2, 1, tfEndEllipsis, {"..."}, true},
        TBreakCase{"TwoByteCodePointsWrap", "\xC3\xA4\xC3\xB6\xC3\xBC \xC3\x9F\xC3\xA9", 4, 10, Wrap,
                   {"\xC3\xA4\xC3\xB6\xC3\xBC", "\xC3\x9F\xC3\xA9"}, false},
        TBreakCase{"CjkWithoutSpacesBreaksBetweenCharacters",
                   "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE7\xAC\xA6\xE6\xB5\x8B\xE8\xAF\x95", 4, 10, Wrap,
                   {"\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE7\xAC\xA6", "\xE6\xB5\x8B\xE8\xAF\x95"}, false},
        TBreakCase{"FourByteCodePointsWrap", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", 2, 10, Wrap,
                   {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, false},
        TBreakCase{"EllipsisKeepsWholeCodePoints", "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", 5, 1,
                   tfEndEllipsis, {"\xC3\xA4\xC3\xA4..."}, true},
        TBreakCase{"StrayContinuationBytesStayWithTheirCodePoint", std::string("a\x80\x80" "bc"), 2, 10, Wrap,
                   {std::string("a\x80\x80" "b"), "c"}, false}),
    CaseName<TBreakCase>);

// ---- Placement ----

struct TPlaceCase {
    const char* Name;
    unsigned Flags;
    int X0, X1;  // of the lines "ab" and "abcd"
    int Y0;
};
void PrintTo(const TPlaceCase& c, std::ostream* out) { *out << c.Name; }

class TextPlacement : public ::testing::TestWithParam<TPlaceCase> {};

TEST_P(TextPlacement, LinesAndBlockAligned) {
    const TPlaceCase& c = GetParam();
    TFixedTextRenderer renderer;
    const TRect rect{10, 20, 70, 120};  // 60 x 100; the block is 2 lines = 30 high
    const TTextBlock layout = LayoutText(renderer, Font(), "ab\nabcd", rect, c.Flags);
    ASSERT_EQ(layout.Lines.size(), 2u);
    EXPECT_EQ(layout.Lines[0].X, c.X0);
    EXPECT_EQ(layout.Lines[1].X, c.X1);
    EXPECT_EQ(layout.Lines[0].Y, c.Y0);
    EXPECT_EQ(layout.Lines[1].Y, c.Y0 + Line);
    const TRect bounds{std::min(c.X0, c.X1), c.Y0, std::max(c.X0 + 2 * Char, c.X1 + 4 * Char), c.Y0 + 30};
    EXPECT_EQ(layout.Bounds, bounds);
    EXPECT_FALSE(layout.Cut);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextPlacement,
                         ::testing::Values(TPlaceCase{"LeftTop", tfLeft | tfTop, 10, 10, 20},
                                           TPlaceCase{"CenterVCenter", tfCenter | tfVCenter, 34, 28, 55},
                                           TPlaceCase{"RightBottom", tfRight | tfBottom, 58, 46, 90}),
                         CaseName<TPlaceCase>);

TEST(TextPlacement, BlockTallerThanRectangleOverflowsByAlignment) {
    TFixedTextRenderer renderer;
    const TRect rect{0, 100, 60, 115};  // one line high, three lines of text
    EXPECT_EQ(LayoutText(renderer, Font(), "a\nb\nc", rect, tfTop).Bounds.Top, 100);
    EXPECT_EQ(LayoutText(renderer, Font(), "a\nb\nc", rect, tfVCenter).Bounds.Top, 85);
    EXPECT_EQ(LayoutText(renderer, Font(), "a\nb\nc", rect, tfBottom).Bounds.Top, 70);
    EXPECT_TRUE(LayoutText(renderer, Font(), "a\nb\nc", rect, tfTop).Cut);
}

TEST(TextPlacement, WrappedReportsOnlySoftBreaks) {
    TFixedTextRenderer renderer;
    const TRect rect{0, 0, 5 * Char, 100};
    EXPECT_FALSE(LayoutText(renderer, Font(), "ab\ncd", rect, Wrap).Wrapped);
    EXPECT_TRUE(LayoutText(renderer, Font(), "ab cd ef", rect, Wrap).Wrapped);
    EXPECT_FALSE(LayoutText(renderer, Font(), "abcdefgh", rect, tfEndEllipsis).Wrapped);
}

// ---- UTF-8 with a renderer that measures bytes ----

// A font engine given part of a UTF-8 sequence measures something (a replacement
// glyph), often narrower than the character; the cut must still fall between
// code points.
class TByteWidthRenderer final : public TTextRenderer {
public:
    TTextMetrics Metrics(const TFontSpec&) override { return TTextMetrics{10, 8, 2, 1, 1}; }
    int TextWidth(const TFontSpec&, std::string_view utf8) override { return static_cast<int>(utf8.size()); }
    TCoverageMask RenderLine(const TFontSpec&, std::string_view) override { return {}; }
};

TEST(TextLayoutUtf8, CutsBetweenCodePointsWhateverTheRendererMeasures) {
    TByteWidthRenderer renderer;
    const std::string han = "\xE4\xB8\xAD";  // 3 bytes
    const std::string text = han + han + han + han;
    const TTextBlock wrapped = LayoutText(renderer, Font(), text, TRect{0, 0, 7, 100}, Wrap);
    EXPECT_EQ(Texts(text, wrapped), (std::vector<std::string>{han + han, han + han}));
    const TTextBlock cut = LayoutText(renderer, Font(), text, TRect{0, 0, 10, 10}, tfEndEllipsis);
    EXPECT_EQ(Texts(text, cut), (std::vector<std::string>{han + han + "..."}));
}

// ---- Invariants over many texts and widths ----

bool IsBoundary(const std::string& text, std::size_t i) {
    return i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
}

std::string WithoutSpaces(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (c != ' ') out += c;
    return out;
}

// Word wrap loses and repeats nothing, never cuts a code point and keeps every line
// within the width unless it is a single code point; with an ellipsis every line
// fits whenever "..." does, and the kept lines are a prefix of the text.
TEST(TextLayoutInvariants, WrapAndEllipsisOverManyTexts) {
    TFixedTextRenderer renderer;
    const std::string pieces[] = {"a", "bb", " ", "\xC3\xA4", "\xE4\xB8\xAD", "  ", "cccccccc", "\xF0\x9F\x98\x80"};
    unsigned seed = 12345;
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = static_cast<int>(seed % 12);
        for (int i = 0; i < count; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % 8];
        }
        seed = seed * 1103515245u + 12345u;
        const int width = static_cast<int>((seed >> 16) % 10);
        SCOPED_TRACE("text '" + text + "' width " + std::to_string(width));

        const TTextBlock wrapped = LayoutText(renderer, Font(), text, TRect{0, 0, width * Char, 1000}, Wrap);
        std::string joined;
        for (const TTextLine& line : wrapped.Lines) {
            ASSERT_TRUE(IsBoundary(text, line.Start));
            ASSERT_TRUE(IsBoundary(text, line.Start + line.Length));
            ASSERT_FALSE(line.Ellipsis);
            const std::string shown = text.substr(line.Start, line.Length);
            if (renderer.TextWidth(Font(), shown) > width * Char) {
                EXPECT_EQ(renderer.TextWidth(Font(), shown), Char);
            }
            joined += shown;
        }
        EXPECT_EQ(WithoutSpaces(joined), WithoutSpaces(text));

        const TTextBlock cut = LayoutText(renderer, Font(), text, TRect{0, 0, width * Char, 2 * Line}, WrapEllipsis);
        EXPECT_LE(cut.Lines.size(), 2u);
        for (const TTextLine& line : cut.Lines) {
            ASSERT_TRUE(IsBoundary(text, line.Start + line.Length));
            if (width >= 3) {
                EXPECT_LE(line.Width, width * Char);
            }
        }
    }
}

}  // namespace

TEST(TextDirection, TheFirstStrongCharacterDecides) {
    const struct {
        const char* text;
        TTextDirection direction;
    } cases[] = {
        {"", TTextDirection::Neutral},
        {"12, 3 - ()", TTextDirection::Neutral},
        {"Install", TTextDirection::LeftToRight},
        {"\xC3\x89t\xC3\xA9", TTextDirection::LeftToRight},                     // Latin with accents
        {"\xD0\x9F\xD1\x80\xD0\xB8", TTextDirection::LeftToRight},               // Cyrillic
        {"\xE5\xAE\x89\xE8\xA3\x85", TTextDirection::LeftToRight},               // CJK
        {"\xEC\x84\xA4\xEC\xB9\x98", TTextDirection::LeftToRight},               // Hangul
        {"\xD7\x94\xD7\xAA\xD7\xA7\xD7\x9F Qarto", TTextDirection::RightToLeft},  // Hebrew first
        {"\"500\" \xD8\xAA\xD8\xAB\xD8\xA8\xD9\x8A\xD8\xAA", TTextDirection::RightToLeft},  // digits, then Arabic
        {"Qarto \xD8\xAA\xD8\xAB\xD8\xA8\xD9\x8A\xD8\xAA", TTextDirection::LeftToRight},
        {"\xEF\xBB\xB7", TTextDirection::RightToLeft},                          // an Arabic presentation form
        {"\xD7\xD7\x90", TTextDirection::RightToLeft},                          // a broken sequence is skipped
        {"\xC3\x97 x", TTextDirection::LeftToRight},                            // the multiplication sign is neutral
    };
    for (const auto& c : cases) EXPECT_EQ(FirstStrongDirection(c.text), c.direction) << c.text;
}
