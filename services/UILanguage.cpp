#include "services/UILanguage.h"

#include "public/rdcontrol/base/NumberText.h"

namespace {

// Values that stand for "the default" rather than naming a language.
bool IsPlaceholder(std::uint16_t id) { return id == 0x0000 || id == 0x0400 || id == 0x0800 || id == 0x1400; }

// The locale the system was installed with, as the registry records it ("00000409").
std::uint16_t RegistryLocaleLanguage(const OsServices& os) {
    auto text = os.registry.ReadString(RegistryRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Nls\\Locale",
                                       "(Default)");
    if (!text) return 0;
    auto value = ParseInteger("$" + *text);
    return value ? static_cast<std::uint16_t>(*value & 0xFFFF) : 0;
}

}  // namespace

std::uint16_t GetUILanguageId(const OsServices& os) {
    std::uint16_t id = os.locale.UserDefaultUILanguage();
    if (IsPlaceholder(id)) id = os.locale.SystemDefaultUILanguage();
    if (IsPlaceholder(id)) id = RegistryLocaleLanguage(os);
    if (id == 0) id = static_cast<std::uint16_t>(os.locale.SystemDefaultLocaleId() & 0xFFFF);
    return id;
}
