#include "public/rdcontrol/ini/IniText.h"

#include <charconv>
#include <chrono>
#include <cstdio>

#include "public/rdcontrol/base/TextLines.h"

std::vector<ParsedIniSection> ParseIniText(std::string_view utf8) {
    std::vector<ParsedIniSection> sections;
    for (std::string_view raw : SplitLines(utf8)) {
        const std::string_view line = TrimBlanks(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            sections.push_back({std::string(TrimBlanks(line.substr(1, line.size() - 2))), {}});
            continue;
        }
        if (sections.empty()) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            sections.back().lines.emplace_back(line);
        } else {
            std::string entry(TrimBlanks(line.substr(0, eq)));
            entry += '=';
            entry += TrimBlanks(line.substr(eq + 1));
            sections.back().lines.push_back(std::move(entry));
        }
    }
    return sections;
}

// ---- date-times -----------------------------------------------------------------

std::string FormatIniDateTime(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d:%03d", p.month, p.day, p.year, p.hour, p.minute,
                  p.second, p.ms);
    return buf;
}

namespace {

// Reads up to `maxDigits` decimal digits at the front of `s`.
std::optional<int> TakeNumber(std::string_view& s, size_t maxDigits) {
    size_t n = 0;
    while (n < s.size() && n < maxDigits && s[n] >= '0' && s[n] <= '9') ++n;
    if (n == 0) return std::nullopt;
    int v = 0;
    std::from_chars(s.data(), s.data() + n, v);
    s.remove_prefix(n);
    return v;
}

bool TakeChar(std::string_view& s, std::string_view oneOf) {
    if (s.empty() || oneOf.find(s.front()) == std::string_view::npos) return false;
    s.remove_prefix(1);
    return true;
}

}  // namespace

std::optional<TDateTime> ParseIniDateTime(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    const auto m = TakeNumber(s, 2);
    if (!m || !TakeChar(s, "/")) return std::nullopt;
    const auto d = TakeNumber(s, 2);
    if (!d || !TakeChar(s, "/")) return std::nullopt;
    const size_t before = s.size();
    auto y = TakeNumber(s, 4);
    if (!y) return std::nullopt;
    const size_t yearDigits = before - s.size();
    if (yearDigits <= 2) *y += *y < 50 ? 2000 : 1900;
    else if (yearDigits != 4) return std::nullopt;

    int hour = 0, minute = 0, second = 0, ms = 0;
    s = TrimBlanks(s);
    if (!s.empty()) {
        auto h = TakeNumber(s, 2);
        if (!h || !TakeChar(s, ":")) return std::nullopt;
        auto n = TakeNumber(s, 2);
        if (!n) return std::nullopt;
        hour = *h;
        minute = *n;
        if (TakeChar(s, ":")) {
            auto sec = TakeNumber(s, 2);
            if (!sec) return std::nullopt;
            second = *sec;
            if (TakeChar(s, ":.")) {
                auto z = TakeNumber(s, 3);
                if (!z) return std::nullopt;
                ms = *z;
            }
        }
        if (!TrimBlanks(s).empty()) return std::nullopt;
    }
    using namespace std::chrono;
    const year_month_day ymd(year(*y), month(static_cast<unsigned>(*m)), day(static_cast<unsigned>(*d)));
    if (!ymd.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return EncodeDateTime(*y, *m, *d, hour, minute, second, ms);
}
