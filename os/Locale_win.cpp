#include "os/Locale.h"

#include <windows.h>

#include <iterator>

#include "os/TextConvert.h"

namespace {

std::string LocaleText(std::uint32_t localeId, LCTYPE type) {
    wchar_t text[16] = {};
    const int n = GetLocaleInfoW(localeId, type, text, static_cast<int>(std::size(text)));
    return n > 1 ? Narrow(std::wstring_view(text, static_cast<size_t>(n - 1))) : std::string();
}

class WinLocale final : public Locale {
public:
    std::uint16_t UserDefaultUILanguage() const override { return GetUserDefaultUILanguage(); }
    std::uint16_t SystemDefaultUILanguage() const override { return GetSystemDefaultUILanguage(); }
    std::uint32_t SystemDefaultLocaleId() const override { return GetSystemDefaultLCID(); }
    std::uint16_t SystemDefaultLanguageId() const override { return GetSystemDefaultLangID(); }
    std::uint32_t UserDefaultLocaleId() const override { return GetUserDefaultLCID(); }
    std::string IsoLanguageName(std::uint32_t localeId) const override {
        return LocaleText(localeId, LOCALE_SISO639LANGNAME);
    }
    std::string IsoCountryName(std::uint32_t localeId) const override {
        return LocaleText(localeId, LOCALE_SISO3166CTRYNAME);
    }
};

}  // namespace

Locale& WindowsLocale() {
    static WinLocale instance;
    return instance;
}
