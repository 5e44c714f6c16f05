#pragma once
// Case folding for matching keys, names and values without regard to case: ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic letters fold to lower case; other
// text is compared as it is. UTF-8 in, UTF-8 out.
#include <string>
#include <string_view>

std::string FoldCase(std::string_view utf8);
bool SameTextNoCase(std::string_view a, std::string_view b);
// Whether `s` begins with `prefix`, compared as SameTextNoCase does.
inline bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameTextNoCase(s.substr(0, prefix.size()), prefix);
}
