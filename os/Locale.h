#pragma once
// The system's language and locale settings.
#include <cstdint>

class Locale {
public:
    virtual ~Locale() = default;
    // Windows language identifiers (primary language in the low 10 bits).
    virtual std::uint16_t UserDefaultUILanguage() const = 0;
    virtual std::uint16_t SystemDefaultUILanguage() const = 0;
    // The system default locale identifier (LCID).
    virtual std::uint32_t SystemDefaultLocaleId() const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Locale& WindowsLocale();
#endif
