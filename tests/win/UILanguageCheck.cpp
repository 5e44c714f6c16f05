// Prints the interface language the installer would start in and exits 0 when it
// is the one named on the command line (hexadecimal). The test runs it under Wine
// with LC_ALL set to the language being checked.
#include <cstdio>
#include <cstdlib>

#include "services/UILanguage.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: UILanguageCheck EXPECTED_HEX\n");
        return 2;
    }
    const unsigned expected = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 16));
    const unsigned id = GetUILanguageId(WindowsOsServices());
    std::printf("GetUILanguageId: 0x%04X (expected 0x%04X)\n", id, expected);
    return id == expected ? 0 : 1;
}
