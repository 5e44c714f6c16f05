#include "services/RequestLanguage.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace {

std::string LowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

constexpr std::array<std::string_view, 16> kLanguagesWithCountry = {"ar", "az", "zh", "nl", "en", "fr", "gd", "de",
                                                                    "it", "ms", "pt", "ru", "sr", "es", "sv", "uz"};

}  // namespace

std::string LanguageTag(const Locale& locale) {
    const std::uint16_t id = locale.SystemDefaultLanguageId();
    std::string language = LowerAscii(locale.IsoLanguageName(id));
    if (language.empty()) language = "en";
    std::string country = LowerAscii(locale.IsoCountryName(id));
    if (country.empty()) country = "us";
    if (id == 0x0414 || id == 0x0814) return country;
    if (id == 0x0418 || id == 0x0419 || id == 0x043C) return language;
    if (std::find(kLanguagesWithCountry.begin(), kLanguagesWithCountry.end(), language) != kLanguagesWithCountry.end())
        return language + "-" + country;
    return language;
}

std::string AcceptLanguageValue(const Locale& locale) {
    const std::uint32_t id = locale.UserDefaultLocaleId();
    const std::string language = locale.IsoLanguageName(id);
    if (language.empty()) return {};
    const std::string country = locale.IsoCountryName(id);
    return country.empty() ? language : language + "-" + country;
}
