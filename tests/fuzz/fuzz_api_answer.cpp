// The API's answers come from the network: JSON, the same scrambled, either of them
// gzip-encoded. Arbitrary bytes must never crash the reading, gzip must stay within
// its limit, and whatever reads as an answer must give base information or an error
// kind without raising.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "services/ApiAnswer.h"
#include "services/GzipDecode.h"

namespace {

constexpr std::size_t kLimit = 1u << 20;

void ReadAnswer(std::string_view text) {
    const auto answer = ParseApiAnswer(text);
    if (!answer) return;
    if (!answer->is_object()) std::abort();
    bool timeGap = false;
    const TNetworkError kind = ErrorKindOfAnswer(*answer, timeGap);
    if (NetworkErrorName(kind).empty()) std::abort();
    if (timeGap && kind != TNetworkError::network_error_bad_request) std::abort();
    if (auto data = answer->find("data"); data != answer->end() && data->is_object()) {
        const TBaseInfo info = BaseInfoFromData(*data, {"", false, "US"});
        if (info.SmartLocationNumber <= 0 || info.CountryCode.empty()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    ReadAnswer(input);
    if (const auto decoded = GzipDecode(input, kLimit)) {
        if (decoded->size() > kLimit) std::abort();
        ReadAnswer(*decoded);
    }
    return 0;
}
