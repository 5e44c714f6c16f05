#include "tools/demo/SetupSettings.h"

#include "tools/demo/DemoNames.h"

namespace demo {
namespace {
std::optional<int> WholeNumber(std::string_view text, int maximum) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > maximum) return std::nullopt;
    return value;
}

void ApplySeconds(std::string_view text, SetupSettings& settings) {
    if (auto value = WholeNumber(text, 3600)) settings.seconds = *value;
}

void ApplyFail(std::string_view text, SetupSettings& settings) {
    if (auto value = WholeNumber(text, 1)) settings.fail = *value == 1;
}

// The trailer is the package file's last line; a marker further up (inside the
// program image, say) is not one.
void ApplyTrailer(std::string_view tail, SetupSettings& settings) {
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.remove_suffix(1);
    const std::size_t lineStart = tail.find_last_of('\n');
    std::string_view line = lineStart == std::string_view::npos ? tail : tail.substr(lineStart + 1);
    const std::string_view marker = kSetupTrailerMarker;
    if (line.substr(0, marker.size()) != marker) return;
    line.remove_prefix(marker.size());
    while (!line.empty()) {
        const std::size_t blank = line.find(' ');
        const std::string_view word = line.substr(0, blank);
        line = blank == std::string_view::npos ? std::string_view{} : line.substr(blank + 1);
        const std::size_t equals = word.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = word.substr(0, equals), value = word.substr(equals + 1);
        if (key == "seconds") ApplySeconds(value, settings);
        if (key == "fail") ApplyFail(value, settings);
    }
}
}  // namespace

SetupSettings ReadSetupSettings(std::string_view fileTail, const std::optional<std::string>& secondsVariable,
                                const std::optional<std::string>& failVariable) {
    SetupSettings settings;
    ApplyTrailer(fileTail, settings);
    if (secondsVariable) ApplySeconds(*secondsVariable, settings);
    if (failVariable) ApplyFail(*failVariable, settings);
    return settings;
}

}  // namespace demo
