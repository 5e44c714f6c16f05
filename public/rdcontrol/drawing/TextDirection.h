#pragma once
// Which way a text reads, decided as the system decides a paragraph's direction:
// by its first character with a strong direction. Hebrew and Arabic letters (with
// their presentation forms) read right to left; Latin, Greek, Cyrillic, the CJK
// scripts and the other letters left to right; digits, spaces and punctuation have
// no direction of their own. Bytes that are no valid UTF-8 count as neutral.
#include <string_view>

enum class TTextDirection { Neutral, LeftToRight, RightToLeft };

// The direction of one code point.
TTextDirection CodePointDirection(char32_t c);
// The direction of utf8's first strong character (Neutral when it has none).
TTextDirection FirstStrongDirection(std::string_view utf8);
inline bool StartsRightToLeft(std::string_view utf8) {
    return FirstStrongDirection(utf8) == TTextDirection::RightToLeft;
}
