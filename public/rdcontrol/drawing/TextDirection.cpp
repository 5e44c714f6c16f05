#include "public/rdcontrol/drawing/TextDirection.h"

TTextDirection CodePointDirection(char32_t c) {
    if ((c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) ||
        (c >= 0x10800 && c <= 0x10FFF) || (c >= 0x1E800 && c <= 0x1EFFF))
        return TTextDirection::RightToLeft;
    if ((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c == 0xAA || c == 0xB5 || c == 0xBA ||
        (c >= 0x00C0 && c <= 0x058F && c != 0xD7 && c != 0xF7) || (c >= 0x0900 && c <= 0x1FFF) ||
        (c >= 0x2C00 && c <= 0x2DFF) || (c >= 0x3040 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFAFF) ||
        (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A) || (c >= 0xFF66 && c <= 0xFFDC) ||
        (c >= 0x10000 && c <= 0x107FF) || (c >= 0x20000 && c <= 0x3FFFF))
        return TTextDirection::LeftToRight;
    return TTextDirection::Neutral;
}

TTextDirection FirstStrongDirection(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
        char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        std::size_t next = i + 1;
        for (int k = 0; k < extra; ++k, ++next) {
            if (next >= utf8.size() || (static_cast<unsigned char>(utf8[next]) & 0xC0) != 0x80) {
                extra = -1;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(utf8[next]) & 0x3F);
        }
        if (extra < 0) {  // not UTF-8: skip the byte
            ++i;
            continue;
        }
        i = next;
        if (const TTextDirection d = CodePointDirection(c); d != TTextDirection::Neutral) return d;
    }
    return TTextDirection::Neutral;
}
