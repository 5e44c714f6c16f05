#include "public/rdcontrol/controls/label/HtmlBidi.h"

#include <algorithm>

std::vector<std::size_t> HtmlVisualOrder(const std::vector<TTextDirection>& strong, bool rightToLeft,
                                         std::vector<int>& levels) {
    const std::size_t n = strong.size();
    std::vector<std::size_t> order(n);
    for (std::size_t k = 0; k < n; ++k) order[k] = k;
    levels.assign(n, 0);
    if (!rightToLeft || n == 0) return order;
    // The nearest strong direction after each item (the line's end counts as right
    // to left), then one pass forward with the nearest one before it.
    std::vector<TTextDirection> after(n, TTextDirection::RightToLeft);
    for (std::size_t k = n - 1; k > 0; --k)
        after[k - 1] = strong[k] != TTextDirection::Neutral ? strong[k] : after[k];
    TTextDirection before = TTextDirection::RightToLeft;
    for (std::size_t k = 0; k < n; ++k) {
        if (strong[k] != TTextDirection::Neutral) {
            levels[k] = strong[k] == TTextDirection::LeftToRight ? 2 : 1;
            before = strong[k];
        } else {
            levels[k] = before == TTextDirection::LeftToRight && after[k] == TTextDirection::LeftToRight ? 2 : 1;
        }
    }
    std::reverse(order.begin(), order.end());
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i;
        while (j < n && levels[order[j]] == 2) ++j;
        if (j > i) {
            std::reverse(order.begin() + static_cast<std::ptrdiff_t>(i), order.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
        } else {
            ++i;
        }
    }
    return order;
}
