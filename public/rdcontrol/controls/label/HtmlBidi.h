#pragma once
// The order in which the words of one line of an HTML label are seen from left to
// right. Text that reads left to right keeps its order (every level 0). In a
// right-to-left text, words of right-to-left letters get level 1 and words of
// left-to-right letters level 2; spaces, digits, punctuation and pictures between
// two level-2 words join them, all others get level 1. The line is then reversed,
// and every stretch of level 2 reversed back, so a Latin name inside an Arabic
// sentence keeps its order.
#include <cstddef>
#include <vector>

#include "public/rdcontrol/drawing/TextDirection.h"

// `strong[k]`: the first strong direction of the line's item k (Neutral for spaces,
// gaps, pictures and words without one). Returns the items' indices from left to
// right and sets levels[k] to item k's level (odd: read right to left).
std::vector<std::size_t> HtmlVisualOrder(const std::vector<TTextDirection>& strong, bool rightToLeft,
                                         std::vector<int>& levels);
