#include "os/Locale.h"

#include <windows.h>

namespace {
class WinLocale final : public Locale {
public:
    std::uint16_t UserDefaultUILanguage() const override { return GetUserDefaultUILanguage(); }
    std::uint16_t SystemDefaultUILanguage() const override { return GetSystemDefaultUILanguage(); }
    std::uint32_t SystemDefaultLocaleId() const override { return GetSystemDefaultLCID(); }
};
}  // namespace

Locale& WindowsLocale() {
    static WinLocale instance;
    return instance;
}
