#pragma once
// TColor: the control library's colour values, 32-bit with red in the low byte and
// blue in the third (0x00BBGGRR), as the platform's colour model has them.
//
// Two sentinels recur in every control and are distinct: clNone paints nothing
// (transparent background, no border line) and clDefault means "not set, use the
// normal colour". System colours are 0xFF0000nn (nn = the system colour index);
// they resolve through a table the platform fills (SetSystemColorResolver) and fall
// back to fixed values on the host.
//
// Portable; constants and pure functions only.
#include <cstdint>
#include <functional>

using TColor = std::int32_t;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
// System colours.
inline constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000F);
inline constexpr TColor clWindow = static_cast<TColor>(0xFF000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0xFF000008);
inline constexpr TColor clHighlight = static_cast<TColor>(0xFF00000D);
inline constexpr TColor clHighlightText = static_cast<TColor>(0xFF00000E);
inline constexpr TColor cl3DDkShadow = static_cast<TColor>(0xFF000015);

// The platform headers define RGB as a macro giving the same value; where they
// are included first, theirs is used.
#ifndef RGB
inline constexpr TColor RGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}
#endif

constexpr bool IsSystemColor(TColor color) {
    return (static_cast<std::uint32_t>(color) & 0xFF000000u) == 0xFF000000u;
}

// The platform's value of system colour index (0x00BBGGRR). The Windows build
// installs GetSysColor; without a resolver a fixed light-theme table is used.
void SetSystemColorResolver(std::function<std::uint32_t(int index)> resolver);
#ifdef _WIN32
// Windows build: system colours from the platform (GetSysColor). Call once at start-up.
void InstallWin32SystemColors();
#endif

// The 0x00BBGGRR value of any colour: system colours resolved, the high byte of
// plain colours dropped. clNone and clDefault have no value; they give 0.
std::uint32_t ColorToRgb(TColor color);

// The premultiplied 0xAARRGGBB pixel of color at opacity alpha; 0 (transparent)
// for clNone and clDefault.
std::uint32_t ColorToArgb(TColor color, std::uint8_t alpha = 255);
