#include "public/rdcontrol/base/TextCodec.h"

#include <array>
#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at `i`, advancing it; invalid sequences give U+FFFD and
// consume one byte.
char32_t NextUtf8(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra;
    char32_t cp;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1F; min = 0x80; }
    else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0F; min = 0x800; }
    else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07; min = 0x10000; }
    else { ++i; return kReplacement; }
    if (s.size() - i <= static_cast<size_t>(extra)) { ++i; return kReplacement; }  // cut short
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) { ++i; return kReplacement; }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return kReplacement; }
    i += static_cast<size_t>(extra) + 1;
    return cp;
}


}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = NextUtf8(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

#ifndef _WIN32
namespace {
// Windows-1252 bytes 0x80-0x9F; the five unassigned bytes map to the C1 control of
// the same value, as Windows itself converts them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi) AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : char32_t(c));
    return out;
}

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t cp = NextUtf8(utf8, i);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (size_t k = 0; k < kCp1252High.size(); ++k)
            if (kCp1252High[k] == cp) mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}
#endif

// ---- files with a byte-order mark ----------------------------------------------

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
