#include "public/rdcontrol/ini/IniText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>

TEST(IniText, ParsesSectionsKeysAndEntries) {
    const auto sections = ParseIniText(
        "orphan=ignored\r\n"
        "[ Main ]\r\n"
        "  Key One  =  value with  blanks  \n"
        "; comment=skipped\r\n"
        "\r\n"
        "entry without equals\r"
        "empty=\n"
        "[Other]\n"
        "a=b=c\n");
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].name, "Main");
    EXPECT_EQ(sections[0].lines,
              (std::vector<std::string>{"Key One=value with  blanks", "entry without equals", "empty="}));
    EXPECT_EQ(sections[1].lines, std::vector<std::string>{"a=b=c"});
}

TEST(IniText, DecodesEveryEncodingByItsMark) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
    };
    const std::string expected = "[S]\nk=caf\xC3\xA9";
    const Case cases[] = {
        {"\xEF\xBB\xBF[S]\nk=caf\xC3\xA9", TextEncoding::Utf8},
        {std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0c\0a\0f\0\xE9\0", 22), TextEncoding::Utf16LE},
        {std::string("\xFE\xFF\0[\0S\0]\0\n\0k\0=\0c\0a\0f\0\xE9", 22), TextEncoding::Utf16BE},
        {"[S]\nk=caf\xE9", TextEncoding::Ansi},
    };
    for (const Case& c : cases) {
        const DecodedText d = DecodeText(c.bytes);
        EXPECT_EQ(d.utf8, expected);
        EXPECT_EQ(d.encoding, c.encoding);
        EXPECT_EQ(EncodeText(d.utf8, c.encoding), c.bytes);
    }
    // An odd trailing byte of UTF-16 text is dropped, not read past.
    EXPECT_EQ(DecodeText(std::string("\xFF\xFE" "a\0b", 5)).utf8, "a");
}

TEST(IniText, FoldsCaseBeyondAscii) {
    EXPECT_TRUE(SameTextNoCase("MAIN", "main"));
    EXPECT_TRUE(SameTextNoCase("\xC3\x84NDERUNG", "\xC3\xA4nderung"));      // Ä / ä
    EXPECT_TRUE(SameTextNoCase("\xD0\x9F\xD0\xA3\xD0\xA2\xD0\xAC", "\xD0\xBF\xD1\x83\xD1\x82\xD1\x8C"));  // ПУТЬ / путь
    EXPECT_TRUE(SameTextNoCase("\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xC5\x82\xC3\xB3" "d\xC5\xBA"));  // Łódź
    EXPECT_FALSE(SameTextNoCase("main", "mains"));
}

TEST(IniText, IntegersAndBooleans) {
    struct Case {
        const char* text;
        std::optional<long long> value;
    };
    const Case cases[] = {{"42", 42},    {" -7 ", -7},          {"$FF", 255},   {"0x10", 16},
                          {"+3", 3},     {"12a", std::nullopt}, {"", std::nullopt},
                          {"$", std::nullopt}, {"99999999999999999999", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
    EXPECT_EQ(ParseBoolean("0"), false);
    EXPECT_EQ(ParseBoolean("2"), true);
    EXPECT_EQ(ParseBoolean("yes"), std::nullopt);
}

TEST(IniText, FloatsUseAPointAndAcceptAComma) {
    EXPECT_EQ(FormatNumber(1.5), "1.5");
    EXPECT_EQ(ParseNumber("1,25"), 1.25);
    EXPECT_EQ(ParseNumber("-0.5"), -0.5);
    EXPECT_EQ(ParseNumber("1.2.3"), std::nullopt);
    EXPECT_EQ(ParseNumber("nan"), std::nullopt);
}

TEST(IniText, DateTimeFormatAndParse) {
    const TDateTime t = EncodeDateTime(2026, 12, 31, 23, 59, 58, 123);
    EXPECT_EQ(FormatIniDateTime(t), "12/31/2026 23:59:58:123");
    EXPECT_EQ(FormatIniDateTime(EncodeDateTime(1899, 12, 30)), "12/30/1899 00:00:00:000");
    EXPECT_EQ(ParseIniDateTime("12/31/2026 23:59:58:123"), t);
    EXPECT_EQ(ParseIniDateTime("12/31/2026 23:59:58.123"), t);
    EXPECT_EQ(ParseIniDateTime("1/2/2026"), EncodeDateTime(2026, 1, 2));
    EXPECT_EQ(ParseIniDateTime("1/2/26 7:05"), EncodeDateTime(2026, 1, 2, 7, 5));
    EXPECT_EQ(ParseIniDateTime("1/2/99"), EncodeDateTime(1999, 1, 2));
    for (const char* bad : {"31/12/2026", "2/30/2026", "12/31/2026 24:00", "12-31-2026", "12/31/2026 x", ""})
        EXPECT_EQ(ParseIniDateTime(bad), std::nullopt) << bad;
}

TEST(IniText, DateTimeWrittenUnderGermanLocaleReadsBackUnderUs) {
    const TDateTime t = EncodeDateTime(2026, 3, 4, 5, 6, 7, 8);
    const std::locale saved;
    std::string written;
    {
        std::locale::global(std::locale("de_DE.UTF-8"));
        std::setlocale(LC_ALL, "de_DE.UTF-8");
        written = FormatIniDateTime(t);
        written += "|" + FormatNumber(2.5);
    }
    std::locale::global(std::locale("en_US.UTF-8"));
    std::setlocale(LC_ALL, "en_US.UTF-8");
    EXPECT_EQ(written, "03/04/2026 05:06:07:008|2.5");
    EXPECT_EQ(ParseIniDateTime(written.substr(0, written.find('|'))), t);
    std::locale::global(saved);
    std::setlocale(LC_ALL, "C");
}
