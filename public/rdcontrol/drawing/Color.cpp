#include "public/rdcontrol/drawing/Color.h"

#include <utility>

#include "public/rdcontrol/drawing/RasterOps.h"

namespace {

constexpr std::uint32_t Bgr(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// The light theme of a current desktop, used where no platform resolver is
// installed (the host build, tests): indexes 0 (scroll bar) to 30 (menu bar).
constexpr std::uint32_t LightTheme[] = {
    Bgr(200, 200, 200),  //  0 scroll bar
    Bgr(0, 0, 0),        //  1 desktop
    Bgr(153, 180, 209),  //  2 active caption
    Bgr(191, 205, 219),  //  3 inactive caption
    Bgr(240, 240, 240),  //  4 menu
    Bgr(255, 255, 255),  //  5 window
    Bgr(100, 100, 100),  //  6 window frame
    Bgr(0, 0, 0),        //  7 menu text
    Bgr(0, 0, 0),        //  8 window text
    Bgr(0, 0, 0),        //  9 caption text
    Bgr(180, 180, 180),  // 10 active border
    Bgr(244, 247, 252),  // 11 inactive border
    Bgr(171, 171, 171),  // 12 application workspace
    Bgr(0, 120, 215),    // 13 highlight
    Bgr(255, 255, 255),  // 14 highlight text
    Bgr(240, 240, 240),  // 15 button face
    Bgr(160, 160, 160),  // 16 button shadow
    Bgr(109, 109, 109),  // 17 grey text
    Bgr(0, 0, 0),        // 18 button text
    Bgr(0, 0, 0),        // 19 inactive caption text
    Bgr(255, 255, 255),  // 20 button highlight
    Bgr(105, 105, 105),  // 21 3D dark shadow
    Bgr(227, 227, 227),  // 22 3D light
    Bgr(0, 0, 0),        // 23 tooltip text
    Bgr(255, 255, 225),  // 24 tooltip background
    Bgr(0, 0, 0),        // 25 (unassigned)
    Bgr(0, 102, 204),    // 26 hot-tracked item
    Bgr(185, 209, 234),  // 27 active caption gradient
    Bgr(215, 228, 242),  // 28 inactive caption gradient
    Bgr(0, 120, 215),    // 29 menu highlight
    Bgr(240, 240, 240),  // 30 menu bar
};
constexpr int SystemColorCount = static_cast<int>(sizeof LightTheme / sizeof LightTheme[0]);

std::function<std::uint32_t(int)>& Resolver() {
    static std::function<std::uint32_t(int)> resolver;
    return resolver;
}

}  // namespace

void SetSystemColorResolver(std::function<std::uint32_t(int index)> resolver) { Resolver() = std::move(resolver); }

std::uint32_t ColorToRgb(TColor color) {
    if (color == clNone || color == clDefault) return 0;
    const auto value = static_cast<std::uint32_t>(color);
    if (IsSystemColor(color)) {
        // Only the indexes the platform defines; anything else is black, as the
        // platform itself answers for an unknown index.
        const auto index = static_cast<int>(value & 0x00FFFFFFu);
        if (index >= SystemColorCount) return 0;
        const auto& resolver = Resolver();
        return (resolver ? resolver(index) : LightTheme[index]) & 0x00FFFFFFu;
    }
    return value & 0x00FFFFFFu;
}

std::uint32_t ColorToArgb(TColor color, std::uint8_t alpha) {
    if (color == clNone || color == clDefault || alpha == 0) return 0;
    const std::uint32_t rgb = ColorToRgb(color);
    const std::uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    return static_cast<std::uint32_t>(alpha) << 24 | Div255(r * alpha) << 16 | Div255(g * alpha) << 8 |
           Div255(b * alpha);
}
