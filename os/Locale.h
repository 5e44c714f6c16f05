#pragma once
// The system's language and locale settings. Blocking, cheap.
#include <cstdint>
#include <string>

class Locale {
public:
    virtual ~Locale() = default;
    // Windows language identifiers (primary language in the low 10 bits).
    virtual std::uint16_t UserDefaultUILanguage() const = 0;
    virtual std::uint16_t SystemDefaultUILanguage() const = 0;
    // The system default locale identifier (LCID).
    virtual std::uint32_t SystemDefaultLocaleId() const = 0;
    // The language of the system default locale (a language identifier).
    virtual std::uint16_t SystemDefaultLanguageId() const = 0;
    // The user's default locale identifier (LCID).
    virtual std::uint32_t UserDefaultLocaleId() const = 0;
    // The ISO 639 language name and the ISO 3166 country name of a locale (a language
    // identifier is a locale with the default sort), as the system writes them: "en",
    // "US". "" when the system has none for it.
    virtual std::string IsoLanguageName(std::uint32_t localeId) const = 0;
    virtual std::string IsoCountryName(std::uint32_t localeId) const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Locale& WindowsLocale();
#endif
