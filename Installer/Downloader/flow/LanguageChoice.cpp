#include "Installer/Downloader/flow/LanguageChoice.h"

#include <algorithm>
#include <array>
#include <utility>

#include "public/rdcontrol/base/TextCase.h"

const std::vector<TLanguageEntry>& LanguageList() {
    static const std::vector<TLanguageEntry> list = {
        {"العــربيـة", "Arabic"},
        {"正體中文", "ChineseTrad"},
        {"Dansk", "Danish"},
        {"Nederlands", "Dutch"},
        {"English", "English"},
        {"Français", "French"},
        {"Deutsch", "German"},
        {"עברית", "Hebrew"},
        {"Hungarian", "Hungarian"},
        {"Indonesian", "Indonesian"},
        {"Italiano", "Italian"},
        {"한국어", "Korean"},
        {"Bahasa Malaysia", "Malay"},
        {"日本語", "Japanese"},
        {"Polski", "Polish"},
        {"Português(Brasil)", "Portuguese_BR"},
        {"Русский", "Russian"},
        {"Slovenčina SVK", "Slovak"},
        {"Slovenščina", "Slovenian"},
        {"Español", "Spanish"},
        {"Svenska", "Swedish"},
        {"Türkçe", "Turkish"},
    };
    return list;
}

std::optional<size_t> LanguageIndex(const std::string& name) {
    const auto& list = LanguageList();
    for (size_t i = 0; i < list.size(); ++i)
        if (SameTextNoCase(list[i].name, name)) return i;
    return std::nullopt;
}

std::string GetSystemLanguageName(std::uint16_t id) {
    if ((id & 0x3FF) == 0x09) return "English";
    struct Group {
        const char* name;
        std::vector<std::uint16_t> ids;
    };
    static const std::array<Group, 11> groups = {{
        {"Arabic", {0x0401, 0x0801, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01, 0x2001, 0x2401, 0x2801, 0x2C01, 0x3001,
                    0x3401, 0x3801, 0x3C01, 0x4001}},
        {"Spanish", {0x040A, 0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, 0x200A, 0x240A, 0x280A, 0x2C0A, 0x300A,
                     0x340A, 0x380A, 0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A}},
        {"French", {0x040C, 0x080C, 0x0C0C, 0x100C, 0x140C, 0x180C}},
        {"ChineseTrad", {0x0404, 0x0C04, 0x1004, 0x1404, 0x1028}},
        {"ChineseSimp", {0x0804}},
        {"Swedish", {0x041D, 0x081D}},
        {"Srpski", {0x081A, 0x0C1A}},
        {"Serbian_latin", {0x181A}},
        {"Serbian_cyrillic", {0x1C1A}},
        {"Portuguese_BR", {0x0416}},
        {"Portuguese_PT", {0x0816}},
    }};
    for (const Group& g : groups)
        if (std::find(g.ids.begin(), g.ids.end(), id) != g.ids.end()) return g.name;
    static const std::array<std::pair<std::uint16_t, const char*>, 26> single = {{
        {0x0402, "Bulgarian"}, {0x0403, "Catalan"},   {0x0405, "Czech"},     {0x0406, "Danish"},
        {0x0407, "German"},    {0x0408, "Greek"},     {0x040B, "Finnish"},   {0x040D, "Hebrew"},
        {0x040E, "Hungarian"}, {0x0410, "Italian"},   {0x0411, "Japanese"},  {0x0412, "Korean"},
        {0x0413, "Dutch"},     {0x0414, "Norwegian"}, {0x0415, "Polish"},    {0x0418, "Romanian"},
        {0x0419, "Russian"},   {0x041B, "Slovak"},    {0x041C, "Albanian"},  {0x041F, "Turkish"},
        {0x0421, "Indonesian"}, {0x0422, "Ukrainian"}, {0x0424, "Slovenian"}, {0x0426, "Latvian"},
        {0x042A, "Vietnamese"}, {0x044C, "Malayalam"},
    }};
    for (const auto& [lang, name] : single)
        if (lang == id) return name;
    return "English";
}

namespace {
constexpr std::array<std::pair<const char*, const char*>, 4> kLongNames = {{
    {"Portuguese(PT-BR)", "Portuguese_BR"},
    {"Portuguese(PT-PT)", "Portuguese_PT"},
    {"Serbian(Cyrillic)", "Serbian_cyrillic"},
    {"Serbian(Latin)", "Serbian_latin"},
}};
}  // namespace

std::string ShortLanguageName(const std::string& name) {
    for (const auto& [longName, shortName] : kLongNames)
        if (SameTextNoCase(name, longName)) return shortName;
    return name;
}

std::string LongLanguageName(const std::string& name) {
    for (const auto& [longName, shortName] : kLongNames)
        if (SameTextNoCase(name, shortName)) return longName;
    return name;
}

std::string ChooseLanguageName(std::uint16_t uiLanguage, const std::optional<std::string>& savedChoice) {
    std::string name = GetSystemLanguageName(uiLanguage);
    // Character count, not bytes: a one-letter value is ignored whatever its script.
    if (savedChoice) {
        size_t characters = 0;
        for (unsigned char c : *savedChoice)
            if ((c & 0xC0) != 0x80) ++characters;
        if (characters > 1) name = *savedChoice;
    }
    return ShortLanguageName(name);
}
