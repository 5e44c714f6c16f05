#pragma once
// Lines and blanks of plain text.
#include <string_view>
#include <vector>

// Splits on CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view text);
// Blanks (space, tab) and control characters removed at both ends.
std::string_view TrimBlanks(std::string_view s);
