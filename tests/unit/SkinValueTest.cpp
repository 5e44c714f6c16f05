#include "public/rdcontrol/skin/SkinValue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ValueCase {
    const char* Text;
    TSkinValueKind Kind;
    const char* Canonical;  // ToText of the parsed value
};

const ValueCase kValueCases[] = {
    {"123", TSkinValueKind::Integer, "123"},
    {"-45", TSkinValueKind::Integer, "-45"},
    {"+7", TSkinValueKind::Integer, "7"},
    {"$FF", TSkinValueKind::Integer, "255"},
    {"-$10", TSkinValueKind::Integer, "-16"},
    {"$FFFFFFFFFFFFFFFF", TSkinValueKind::Integer, "-1"},
    {"-9223372036854775808", TSkinValueKind::Integer, "-9223372036854775808"},
    {"  42 \r\n", TSkinValueKind::Integer, "42"},
    {"1.5", TSkinValueKind::Float, "1.5"},
    {"-0.25", TSkinValueKind::Float, "-0.25"},
    {"2.5e-3", TSkinValueKind::Float, "0.0025"},
    {"1E2", TSkinValueKind::Float, "100.0"},
    {"'it''s'", TSkinValueKind::String, "'it''s'"},
    {"''", TSkinValueKind::String, "''"},
    {"'a'#13#10'b'", TSkinValueKind::String, "'a'#13#10'b'"},
    {"#65#$42'C'", TSkinValueKind::String, "'ABC'"},
    {"'ab' +\r\n  'cd'", TSkinValueKind::String, "'abcd'"},
    {"#8364", TSkinValueKind::String, "'\xE2\x82\xAC'"},
    {"#128512", TSkinValueKind::String, "'\xF0\x9F\x98\x80'"},
    {"'\xE6\x97\xA5\xE6\x9C\xAC'", TSkinValueKind::String, "'\xE6\x97\xA5\xE6\x9C\xAC'"},
    {"True", TSkinValueKind::Ident, "True"},
    {"clNone", TSkinValueKind::Ident, "clNone"},
    {"Form1.Button1", TSkinValueKind::Ident, "Form1.Button1"},
    {"[akLeft, akTop]", TSkinValueKind::Set, "[akLeft, akTop]"},
    {"[ akLeft,akTop ]", TSkinValueKind::Set, "[akLeft, akTop]"},
    {"[]", TSkinValueKind::Set, "[]"},
    {"( 'a' 'b' )", TSkinValueKind::List, "( 'a' 'b' )"},
    {"('a'#9 12 clRed)", TSkinValueKind::List, "( 'a'#9 12 clRed )"},
    {"()", TSkinValueKind::List, "( )"},
    {"{0a1B ff}", TSkinValueKind::Binary, "{0A1BFF}"},
    {"<>", TSkinValueKind::Collection, "< >"},
    {"<item Caption = 'x' Width = 3 end item end>", TSkinValueKind::Collection,
     "< item Caption = 'x' Width = 3 end item end >"},
    {"< ITEM Sub = < item A = [x] end > END >", TSkinValueKind::Collection,
     "< item Sub = < item A = [x] end > end >"},
};

class SkinValueSyntax : public ::testing::TestWithParam<ValueCase> {};

TEST_P(SkinValueSyntax, ParsesToItsCanonicalFormAndReadsBackEqual) {
    const ValueCase& c = GetParam();
    const TSkinValueParse parsed = ParseSkinValue(c.Text);
    ASSERT_TRUE(parsed) << c.Text << ": " << parsed.Error;
    EXPECT_EQ(parsed.Value->Kind(), c.Kind);
    EXPECT_EQ(parsed.Value->ToText(), c.Canonical);
    const TSkinValueParse again = ParseSkinValue(parsed.Value->ToText());
    ASSERT_TRUE(again) << again.Error;
    EXPECT_EQ(*again.Value, *parsed.Value);
}

INSTANTIATE_TEST_SUITE_P(Cases, SkinValueSyntax, ::testing::ValuesIn(kValueCases));

TEST(SkinValue, DecodesStringPiecesAndCollectionsIntoTheirParts) {
    const TSkinValueParse s = ParseSkinValue("'a'#13#10'b'#0");
    ASSERT_TRUE(s);
    EXPECT_EQ(s.Value->Text(), std::string("a\r\nb\0", 5));

    const TSkinValueParse c = ParseSkinValue("<item Caption = 'x' Width = 3 end item end>");
    ASSERT_TRUE(c);
    const auto& items = c.Value->CollectionItems();
    ASSERT_EQ(items.size(), 2u);
    ASSERT_EQ(items[0].Properties.size(), 2u);
    EXPECT_EQ(items[0].Properties[0].Name, "Caption");
    EXPECT_EQ(items[0].Properties[0].Value, TSkinValue::String("x"));
    EXPECT_EQ(items[0].Properties[1].Value, TSkinValue::Integer(3));
    EXPECT_TRUE(items[1].Properties.empty());

    const TSkinValueParse set = ParseSkinValue("[akLeft, akTop]");
    ASSERT_TRUE(set);
    EXPECT_EQ(set.Value->Elements(), (std::vector<std::string>{"akLeft", "akTop"}));
}

TEST(SkinValue, ControlCharactersAndQuotesWriteBackAsCodes) {
    EXPECT_EQ(TSkinValue::String(std::string("\0'\x7f", 3)).ToText(), "#0''''#127");
    EXPECT_EQ(TSkinValue::Float(2).ToText(), "2.0");
}

class SkinValueMalformed : public ::testing::TestWithParam<const char*> {};

TEST_P(SkinValueMalformed, GivesAnErrorText) {
    const TSkinValueParse parsed = ParseSkinValue(GetParam());
    EXPECT_FALSE(parsed) << GetParam();
    EXPECT_FALSE(parsed.Error.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SkinValueMalformed,
                         ::testing::Values("", "   ", "'abc", "'abc' +", "12abc", "1.", "1.5e", "$", "$G1", "-",
                                           "#", "#55296", "#1114112", "#99999999999", "99999999999999999999",
                                           "$1FFFFFFFFFFFFFFFF", "1e999", "[akLeft,", "[akLeft akTop]", "[1]", "(",
                                           "( [a] )", "{0}", "{zz}", "<item", "<item x 1 end>", "<item x = end>",
                                           "<thing end>", "1 2", "True False", "=", "@", "abc."));

TEST(SkinValue, DeepNestingIsRefusedNotOverflowed) {
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "<item a = ";
    const TSkinValueParse parsed = ParseSkinValue(text);
    EXPECT_FALSE(parsed);
    EXPECT_NE(parsed.Error.find("nested"), std::string::npos) << parsed.Error;

    std::string fine = "1";
    for (int i = 0; i < kSkinValueMaxDepth; ++i) fine = "<item a = " + fine + " end>";
    EXPECT_TRUE(ParseSkinValue(fine)) << ParseSkinValue(fine).Error;
}

}  // namespace
