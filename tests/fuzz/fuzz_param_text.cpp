// Parameter texts of the form posts are built from user-facing values (languages,
// later perhaps names): any text must split without crashing, every item must be a
// real name=value pair, and the JSON made from them must render.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "services/ParamText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto items = SplitParamText(text);
    for (const TParamItem& item : items)
        if (item.name.empty() || item.name.size() + item.value.size() >= text.size() + 1) std::abort();
    const auto json = ParamsToJson(text);
    if (json.size() > items.size()) std::abort();
    (void)json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);

    // Without quotes the items are exactly the "&"-separated pieces that hold a name
    // and "=": a value with spaces is never cut.
    if (text.find('"') == std::string_view::npos) {
        std::size_t expected = 0;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = std::min(text.find('&', start), text.size());
            const std::string_view piece = text.substr(start, end - start);
            // Blanks are every byte up to the space, as the INI text's trimming has it.
            std::size_t first = 0;
            while (first < piece.size() && static_cast<unsigned char>(piece[first]) <= ' ') ++first;
            if (first < piece.size() && piece[first] != '=' && piece.find('=') != std::string_view::npos) ++expected;
            if (end == text.size()) break;
            start = end + 1;
        }
        if (items.size() != expected) std::abort();
    }
    return 0;
}
