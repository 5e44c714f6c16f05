#include "services/UILanguage.h"

#include <gtest/gtest.h>

#include "tests/unit/FakeOs.h"

namespace {

struct Case {
    const char* name;
    std::uint16_t user, system;
    std::optional<std::string> registryDefault;
    std::uint32_t systemLocale;
    std::uint16_t expected;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class UILanguageFallback : public ::testing::TestWithParam<Case> {};

TEST_P(UILanguageFallback, PicksTheFirstRealLanguage) {
    const Case& c = GetParam();
    FakeOs os;
    os.locale.userUILanguage = c.user;
    os.locale.systemUILanguage = c.system;
    os.locale.systemLocaleId = c.systemLocale;
    if (c.registryDefault)
        os.registry.values[{RegistryRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Nls\\Locale",
                            "(Default)"}] = *c.registryDefault;
    EXPECT_EQ(GetUILanguageId(os.services), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UILanguageFallback,
    ::testing::Values(Case{"UserLanguage", 0x0411, 0x0407, "00000804", 0x0409, 0x0411},
                      Case{"UserDefaultFallsToSystem", 0x0400, 0x0407, std::nullopt, 0x0409, 0x0407},
                      Case{"BothPlaceholdersUseRegistry", 0x1400, 0x0800, "00000804", 0x0409, 0x0804},
                      Case{"RegistryTakesLow16Bits", 0x0000, 0x0400, "00010407", 0x0409, 0x0407},
                      Case{"NoRegistryValueUsesLocale", 0x0400, 0x0000, std::nullopt, 0x00010409, 0x0409},
                      Case{"UnreadableRegistryValueUsesLocale", 0x0400, 0x0400, "zz09", 0x0416, 0x0416}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
