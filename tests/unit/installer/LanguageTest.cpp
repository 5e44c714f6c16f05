// The start-up language choice and the language object's lookups.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Installer/Downloader/flow/LanguageChoice.h"
#include "Installer/Downloader/flow/PLanguage.h"
#include "public/rdcontrol/base/TextCodec.h"

namespace {

struct StartCase {
    const char* name;
    std::uint16_t langId;
    std::optional<std::string> saved;
    const char* chosen;    // ChooseLanguageName
    const char* selected;  // the selector item after the fall-back to English
};

class StartLanguage : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartLanguage, SystemLanguageOrSavedChoice) {
    const auto& c = GetParam();
    const std::string name = ChooseLanguageName(c.langId, c.saved);
    EXPECT_EQ(name, c.chosen);
    const auto index = LanguageIndex(name);
    EXPECT_STREQ(index ? LanguageList()[*index].name : "English", c.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StartLanguage,
    ::testing::Values(StartCase{"Czech", 0x0405, std::nullopt, "Czech", "English"},
                      StartCase{"BrazilianPortuguese", 0x0416, std::nullopt, "Portuguese_BR", "Portuguese_BR"},
                      StartCase{"PortugalPortuguese", 0x0816, std::nullopt, "Portuguese_PT", "English"},
                      StartCase{"BritishEnglish", 0x0809, std::nullopt, "English", "English"},
                      StartCase{"CanadianEnglish", 0x1009, std::nullopt, "English", "English"},
                      StartCase{"SimplifiedChinese", 0x0804, std::nullopt, "ChineseSimp", "English"},
                      StartCase{"German", 0x0407, std::nullopt, "German", "German"},
                      StartCase{"MexicanSpanish", 0x080A, std::nullopt, "Spanish", "Spanish"},
                      StartCase{"Unlisted", 0x0429, std::nullopt, "English", "English"},
                      StartCase{"SavedLongNameWins", 0x0407, std::string("Portuguese(PT-BR)"), "Portuguese_BR",
                                "Portuguese_BR"},
                      StartCase{"SavedNameAnyCase", 0x0407, std::string("japanese"), "japanese", "Japanese"},
                      StartCase{"OneCharacterIgnored", 0x0407, std::string("X"), "German", "German"},
                      StartCase{"OneNonAsciiCharacterIgnored", 0x0407, std::string("Ж"), "German", "German"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LanguageList, TwentyTwoInSelectorOrder) {
    ASSERT_EQ(LanguageList().size(), 22u);
    EXPECT_STREQ(LanguageList()[0].name, "Arabic");
    EXPECT_STREQ(LanguageList()[4].selectorText, "English");
    EXPECT_STREQ(LanguageList()[15].selectorText, "Português(Brasil)");
    EXPECT_STREQ(LanguageList()[21].name, "Turkish");
    EXPECT_EQ(LongLanguageName("Portuguese_BR"), "Portuguese(PT-BR)");
    EXPECT_EQ(LongLanguageName("serbian_latin"), "Serbian(Latin)");
    EXPECT_EQ(LongLanguageName("German"), "German");
}

TEST(Language, MessagesAndFormTexts) {
    TLanguage language("ZYR");
    const std::string text =
        "[Main]\r\nDisplayName=German\r\n"
        "[ZYR_frmZYRDownloader]\r\nbtnBroswe.Caption=Durchsuchen...\r\n"
        "[ZYR_M]\r\nM_NoticeYes=Ja\r\nM_Empty=\r\nM_License=Mit %s1 = ok\r\n";
    language.LoadFromBytes(EncodeText(text, TextEncoding::Utf16LE));
    EXPECT_EQ(language.GetMessage("M_NoticeYes", "Yes"), "Ja");
    EXPECT_EQ(language.GetMessage("m_noticeyes", "Yes"), "Ja");
    EXPECT_EQ(language.GetMessage("M_Empty", "default"), "");  // present but empty: empty
    EXPECT_EQ(language.GetMessage("M_Missing", "default"), "default");
    EXPECT_EQ(language.GetMessage("M_License", ""), "Mit %s1 = ok");  // text after the first "="
    EXPECT_EQ(language.ReadString("ZYR_frmZYRDownloader", "btnBroswe.Caption", "Browse..."), "Durchsuchen...");
    EXPECT_EQ(language.ReadString("ZYR_frmZYRDownloader", "btnMin.Hint", "Minimize"), "Minimize");

    // Loading another language replaces everything.
    language.LoadFromBytes(EncodeText("[ZYR_M]\r\nM_NoticeNo=Nein\r\n", TextEncoding::Utf16LE));
    EXPECT_EQ(language.GetMessage("M_NoticeYes", "Yes"), "Yes");
    EXPECT_EQ(language.GetMessage("M_NoticeNo", "No"), "Nein");
}

}  // namespace
