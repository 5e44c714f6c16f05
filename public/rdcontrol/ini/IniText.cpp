#include "public/rdcontrol/ini/IniText.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "public/rdcontrol/base/TextCodec.h"

// ---- encodings --------------------------------------------------------------

namespace {

std::u16string BytesToUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
        out[i] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
    }
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

DecodedText DecodeText(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        // Stored UTF-8 is re-encoded so that malformed bytes cannot travel further.
        return {Utf16ToUtf8(Utf8ToUtf16(bytes.substr(3))), TextEncoding::Utf8};
    }
    if (StartsWith(bytes, "\xFF\xFE")) return {Utf16ToUtf8(BytesToUtf16(bytes.substr(2), false)), TextEncoding::Utf16LE};
    if (StartsWith(bytes, "\xFE\xFF")) return {Utf16ToUtf8(BytesToUtf16(bytes.substr(2), true)), TextEncoding::Utf16BE};
    return {AnsiToUtf8(bytes), TextEncoding::Ansi};
}

std::string ByteOrderMark(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8: return "\xEF\xBB\xBF";
        case TextEncoding::Utf16LE: return "\xFF\xFE";
        case TextEncoding::Utf16BE: return "\xFE\xFF";
        case TextEncoding::Ansi: break;
    }
    return {};
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    std::string out = ByteOrderMark(encoding);
    switch (encoding) {
        case TextEncoding::Ansi: out += Utf8ToAnsi(utf8); break;
        case TextEncoding::Utf8: out += Utf16ToUtf8(Utf8ToUtf16(utf8)); break;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const std::u16string wide = Utf8ToUtf16(utf8);
            const bool be = encoding == TextEncoding::Utf16BE;
            out.reserve(out.size() + wide.size() * 2);
            for (char16_t c : wide) {
                const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
                out += be ? hi : lo;
                out += be ? lo : hi;
            }
            break;
        }
    }
    return out;
}

// ---- lines ------------------------------------------------------------------

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string_view TrimBlanks(std::string_view s) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

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

// ---- case folding -------------------------------------------------------------

namespace {

char32_t FoldCodePoint(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    if (c >= 0x100 && c <= 0x17F) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (c == 0x178) return 0xFF;
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper) return (c & 1) ? c + 1 : c;
        return (c & 1) ? c : c + 1;
    }
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
    if (c >= 0x410 && c <= 0x42F) return c + 32;
    if (c >= 0x400 && c <= 0x40F) return c + 80;
    return c;
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
    std::string out(utf8);
    bool ascii = true;
    for (char& ch : out) {
        if (static_cast<unsigned char>(ch) >= 0x80) ascii = false;
        else if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch + 32);
    }
    if (ascii) return out;
    // Rare path: through UTF-16 (every letter folded here is in the BMP).
    std::u16string wide = Utf8ToUtf16(utf8);
    for (char16_t& c : wide) c = static_cast<char16_t>(FoldCodePoint(c));
    return Utf16ToUtf8(wide);
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
    if (a.size() == b.size()) {
        bool same = true;
        for (size_t i = 0; i < a.size() && same; ++i) {
            char x = a[i], y = b[i];
            if ((static_cast<unsigned char>(x) | static_cast<unsigned char>(y)) >= 0x80) return FoldCase(a) == FoldCase(b);
            if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
            if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
            same = x == y;
        }
        if (same) return true;
    }
    return FoldCase(a) == FoldCase(b);
}

// ---- values -------------------------------------------------------------------

std::string FormatIniInteger(long long value) { return std::to_string(value); }

std::optional<long long> ParseIniInteger(std::string_view text) {
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

std::optional<bool> ParseIniBool(std::string_view text) {
    auto n = ParseIniInteger(text);
    if (!n) return std::nullopt;
    return *n != 0;
}

std::string FormatIniFloat(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::optional<double> ParseIniFloat(std::string_view text) {
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

// ---- date-times -----------------------------------------------------------------

namespace {
using namespace std::chrono;
constexpr sys_days kEpoch = sys_days(year(1899) / December / 30);
constexpr long long kMsPerDay = 86400000;
}  // namespace

TDateTime EncodeDateTime(int y, int m, int d, int hour, int minute, int second, int ms) {
    const sys_days day = sys_days(year(y) / month(static_cast<unsigned>(m)) / static_cast<unsigned>(d));
    const long long timeMs = ((hour * 60LL + minute) * 60 + second) * 1000 + ms;
    return static_cast<double>((day - kEpoch).count()) + static_cast<double>(timeMs) / kMsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime value) {
    long long days = static_cast<long long>(std::floor(value));
    long long ms = std::llround((value - static_cast<double>(days)) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ++days;
        ms -= kMsPerDay;
    }
    const year_month_day ymd(kEpoch + std::chrono::days(days));
    return {static_cast<int>(ymd.year()),          static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(ms / 3600000),       static_cast<int>(ms / 60000 % 60),
            static_cast<int>(ms / 1000 % 60),     static_cast<int>(ms % 1000)};
}

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
    const year_month_day ymd(year(*y), month(static_cast<unsigned>(*m)), day(static_cast<unsigned>(*d)));
    if (!ymd.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
    return EncodeDateTime(*y, *m, *d, hour, minute, second, ms);
}
