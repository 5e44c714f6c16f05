// UnscrambleText takes the server's answers: arbitrary bytes must never crash it,
// and whatever it accepts must be exactly what ScrambleText would have sent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "services/RequestSigning.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    const std::string text = UnscrambleText(input);
    if (!text.empty()) {
        // Accepted input is canonical Base64 once the ignored whitespace is gone.
        std::string digits;
        for (char c : input) {
            if (c != '\r' && c != '\n' && c != ' ' && c != '\t') digits += c;
        }
        if (ScrambleText(text) != digits) std::abort();
    }

    // Any bytes survive a scramble round trip unchanged.
    if (UnscrambleText(ScrambleText(input)) != input) std::abort();
    return 0;
}
