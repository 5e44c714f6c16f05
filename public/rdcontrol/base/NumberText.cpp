#include "public/rdcontrol/base/NumberText.h"

#include <charconv>
#include <cmath>

#include "public/rdcontrol/base/TextLines.h"

std::string FormatInteger(long long value) { return std::to_string(value); }

std::optional<long long> ParseInteger(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return std::nullopt;
    unsigned long long magnitude = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (base == 10 && magnitude > (negative ? 9223372036854775808ull : 9223372036854775807ull)) return std::nullopt;
    const auto value = static_cast<long long>(magnitude);
    return negative ? -value : value;
}

std::optional<bool> ParseBoolean(std::string_view text) {
    auto n = ParseInteger(text);
    if (!n) return std::nullopt;
    return *n != 0;
}

std::string FormatNumber(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string s(TrimBlanks(text));
    for (char& c : s)
        if (c == ',') c = '.';
    std::string_view v = s;
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    if (v.empty()) return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}
