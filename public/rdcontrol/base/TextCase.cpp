#include "public/rdcontrol/base/TextCase.h"

#include "public/rdcontrol/base/TextCodec.h"

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
