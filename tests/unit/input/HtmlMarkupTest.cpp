// The HTML label's markup: what is a tag and which, entities, attributes, colours
// and picture sources.
#include <gtest/gtest.h>

#include <string>

#include "public/rdcontrol/controls/label/HtmlMarkup.h"

namespace {

const char* TagName(THtmlTag t) {
    switch (t) {
        case THtmlTag::Unknown: return "?";
        case THtmlTag::Link: return "A";
        case THtmlTag::Bold: return "B";
        case THtmlTag::Body: return "BODY";
        case THtmlTag::LineBreak: return "BR";
        case THtmlTag::FlagE: return "E";
        case THtmlTag::Font: return "FONT";
        case THtmlTag::Highlight: return "HI";
        case THtmlTag::Rule: return "HR";
        case THtmlTag::Italic: return "I";
        case THtmlTag::Indent: return "IND";
        case THtmlTag::Image: return "IMG";
        case THtmlTag::ListItem: return "LI";
        case THtmlTag::ListStyle: return "LS";
        case THtmlTag::OrderedList: return "OL";
        case THtmlTag::Offset: return "O";
        case THtmlTag::Paragraph: return "P";
        case THtmlTag::Raise: return "R";
        case THtmlTag::Strike: return "S";
        case THtmlTag::Shadow: return "SH";
        case THtmlTag::Span: return "SPAN";
        case THtmlTag::Subscript: return "SUB";
        case THtmlTag::Superscript: return "SUP";
        case THtmlTag::Underline: return "U";
        case THtmlTag::BulletList: return "UL";
        case THtmlTag::FlagZ: return "Z";
    }
    return "";
}

// Tokens as text: [TAG] for a tag ([/TAG] closing), text as it is.
std::string Render(std::string_view markup) {
    std::string out;
    for (const THtmlToken& t : ParseHtmlMarkup(markup)) {
        if (t.IsTag)
            out += std::string("[") + (t.Closing ? "/" : "") + TagName(t.Tag) + "]";
        else
            out += "{" + t.Text + "}";
    }
    return out;
}

struct TokenCase {
    const char* Markup;
    const char* Expected;
};

class MarkupTokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(MarkupTokens, SplitsTextAndIdentifiesTags) { EXPECT_EQ(Render(GetParam().Markup), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(
    Table, MarkupTokens,
    ::testing::Values(
        // The licence line of the installer.
        TokenCase{"agree to its <a>EULA</a> & <a>Privacy Policy</a> <BR>",
                  "{agree to its }[A]{EULA}[/A]{ & }[A]{Privacy Policy}[/A]{ }[BR]"},
        // Identified by the first letters, in any case.
        TokenCase{"<b><BO bgcolor=#fff><Big><br linespace=3>", "[B][BODY][BR][BR]"},
        TokenCase{"<i><IND x=4><img src=\"IDX:0\"><I2>", "[I][IND][IMG][?]"},
        TokenCase{"<li><LS type=square><ol></OL><o5><ox>", "[LI][LS][OL][/OL][O][O]"},
        TokenCase{"<s><strike><sh><span><sub><sup></s>", "[S][S][SH][SPAN][SUB][SUP][/S]"},
        TokenCase{"<u><ul><z><e><hi><hr><h1><x></u>", "[U][UL][Z][E][HI][HR][?][?][/U]"},
        TokenCase{"<font color=red>x</font><p align=center><r-2>", "[FONT]{x}[/FONT][P][R]"},
        // "<" with two more characters starts a tag, even an empty one; too short
        // for a tag, or never closed: text.
        TokenCase{"a <> b", "{a }[?]{ b}"},
        TokenCase{"a <>", "{a <>}"},
        TokenCase{"1 < 2 and more", "{1 < 2 and more}"},
        TokenCase{"x<", "{x<}"},
        // Entities: decoded in text only, in one pass, never making a tag.
        TokenCase{"&lt;b&gt;bold?&lt;/b&gt;", "{<b>bold?</b>}"},
        TokenCase{"&amp;lt; &quot;q&quot; &copy;&reg;&trade;&euro;&sect;&para;&permil;",
                  "{&lt; \"q\" \xC2\xA9\xC2\xAE\xE2\x84\xA2\xE2\x82\xAC\xC2\xA7\xC2\xB6\xE2\x80\xB0}"},
        TokenCase{"a&nbsp;b &unknown; & &amp", "{a\xC2\xA0"
                                                 "b &unknown; & &amp}"}));

TEST(HtmlMarkup, Attributes) {
    const std::string tag = R"(a href="https://example.test/eula" TITLE='x' bgcolor=#00ff00 color=red maxline=2)";
    EXPECT_EQ(HtmlAttribute(tag, "HREF").value_or("-"), "https://example.test/eula");
    EXPECT_EQ(HtmlAttribute(tag, "TITLE").value_or("-"), "'x'");  // only double quotes quote
    EXPECT_EQ(HtmlAttribute(tag, "COLOR").value_or("-"), "red");  // a whole word: not BGCOLOR
    EXPECT_EQ(HtmlAttribute(tag, "BGCOLOR").value_or("-"), "#00ff00");
    EXPECT_EQ(HtmlAttribute(tag, "MAXLINE").value_or("-"), "2");
    EXPECT_FALSE(HtmlAttribute(tag, "SRC"));
    EXPECT_FALSE(HtmlAttribute("img src", "SRC"));  // no value
    EXPECT_EQ(HtmlAttribute("p align = \"center", "ALIGN").value_or("-"), "center");  // unclosed quote
    EXPECT_EQ(HtmlTagNumber("r-3"), -3);
    EXPECT_EQ(HtmlTagNumber("O 12"), 12);
    EXPECT_EQ(HtmlTagNumber("R"), 0);
}

TEST(HtmlMarkup, ColoursAndPictureSources) {
    struct {
        const char* Text;
        std::optional<TColor> Color;
    } colours[] = {
        {"#FF0000", clRed},  {"$00ff00", RGB(0, 255, 0)}, {"#0000FF", clBlue}, {"clGreen", clGreen},
        {"clBtnFace", clBtnFace}, {"255", clRed},        {"#12345", std::nullopt}, {"#GG0000", std::nullopt},
        {"nonsense", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : colours) EXPECT_EQ(ParseHtmlColor(c.Text), c.Color) << c.Text;

    EXPECT_EQ(ParseHtmlImageSource("IDX:3"), (THtmlImageSource{THtmlImageKind::ImageList, 3}));
    EXPECT_EQ(ParseHtmlImageSource("ssys:1"), (THtmlImageSource{THtmlImageKind::SmallSystem, 1}));
    EXPECT_EQ(ParseHtmlImageSource("LSYS:0"), (THtmlImageSource{THtmlImageKind::LargeSystem, 0}));
    EXPECT_FALSE(ParseHtmlImageSource("IDX:"));
    EXPECT_FALSE(ParseHtmlImageSource("IDX:x"));
    EXPECT_FALSE(ParseHtmlImageSource("IDX:-1"));
    EXPECT_FALSE(ParseHtmlImageSource("ABC:1"));
}

}  // namespace
