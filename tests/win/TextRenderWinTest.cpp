// Text drawn by GDI through TRdCanvas onto transparent 32-bit surfaces: the ink
// keeps the colour and alpha asked for (GDI alone would leave alpha 0), smoothing
// follows the font's Antialiased, and metrics and wrapping come from the real font.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/RdFont.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

namespace {

TFontSpec Tahoma(int height, bool antialiased) {
    TFontSpec font;
    font.Name = "Tahoma";
    font.Height = height;
    font.Antialiased = antialiased;
    return font;
}

struct TInk {
    int Pixels = 0;        // alpha > 0
    int Partial = 0;       // 0 < alpha < maximum
    std::uint32_t MaxAlpha = 0;
    int WrongColour = 0;   // not the premultiplied colour asked for
    TRect Box{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
};

// Inked pixels of surface; red text, premultiplied, has red == alpha and no green
// or blue.
TInk InkOf(const TArgbSurface& surface, std::uint32_t fullAlpha) {
    TInk ink;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) {
            const std::uint32_t p = surface.Pixel(x, y), a = p >> 24;
            if (a == 0) continue;
            ++ink.Pixels;
            ink.Partial += a < fullAlpha;
            ink.MaxAlpha = std::max(ink.MaxAlpha, a);
            ink.WrongColour += ((p >> 16) & 0xFF) != a || (p & 0xFFFF) != 0;
            ink.Box = TRect{std::min(ink.Box.Left, x), std::min(ink.Box.Top, y), std::max(ink.Box.Right, x + 1),
                            std::max(ink.Box.Bottom, y + 1)};
        }
    return ink;
}

TEST(TextRenderWin, PlainTextIsOpaqueInTheColourAsked) {
    TArgbSurface surface(220, 40);
    TRdCanvas canvas(surface);
    canvas.TextOut(2, 2, "Hello, World 123", Tahoma(-16, false), clRed);
    const TInk ink = InkOf(surface, 255);
    EXPECT_GT(ink.Pixels, 50);
    EXPECT_EQ(ink.Partial, 0);
    EXPECT_EQ(ink.WrongColour, 0);
    EXPECT_EQ(ink.MaxAlpha, 255u);
}

TEST(TextRenderWin, AntialiasedTextHasIntermediateCoverage) {
    TArgbSurface surface(220, 40);
    TRdCanvas canvas(surface);
    canvas.TextOut(2, 2, "Hello, World 123", Tahoma(-16, true), clRed);
    const TInk ink = InkOf(surface, 255);
    EXPECT_GT(ink.Pixels, 50);
    EXPECT_GT(ink.Partial, 10);
    EXPECT_EQ(ink.WrongColour, 0);
}

TEST(TextRenderWin, TextAlphaIsTheFontAlpha) {
    TArgbSurface surface(220, 40);
    TRdCanvas canvas(surface);
    canvas.TextOut(2, 2, "Hello, World 123", Tahoma(-16, false), clRed, 128);
    const TInk ink = InkOf(surface, 128);
    EXPECT_GT(ink.Pixels, 50);
    EXPECT_EQ(ink.MaxAlpha, 128u);
    EXPECT_EQ(ink.Partial, 0);
    EXPECT_EQ(ink.WrongColour, 0);
}

TEST(TextRenderWin, MetricsOfARealFont) {
    TRdFont font;
    font.SetHeight(-16);
    EXPECT_GT(font.FontHeight(), 16);
    EXPECT_LT(font.FontHeight(), 30);
    EXPECT_GT(font.FontBaseLine(), 0);
    EXPECT_GE(font.FontTopLine(), 0);
    EXPECT_LT(font.FontTopLine(), font.FontHeight() - font.FontBaseLine());

    TTextRenderer& renderer = DefaultTextRenderer();
    const TFontSpec spec = font.Spec();
    EXPECT_GT(renderer.TextWidth(spec, "WWWW"), renderer.TextWidth(spec, "iiii"));
    EXPECT_EQ(renderer.TextWidth(spec, "ab") + renderer.TextWidth(spec, "cd"), renderer.TextWidth(spec, "abcd"));
    // UTF-8 reaches the font as the characters it encodes, not as bytes.
    EXPECT_EQ(renderer.TextWidth(spec, "\xC3\xA4\xC3\xA4\xC3\xA4"), renderer.TextWidth(spec, "aaa"));
    TFontSpec bigger = spec;
    bigger.Height = -32;
    EXPECT_GT(renderer.Metrics(bigger).Height, renderer.Metrics(spec).Height);
    // Widths and masks are kept per font, never shared between fonts.
    EXPECT_GT(renderer.TextWidth(bigger, "WWWW"), renderer.TextWidth(spec, "WWWW"));
    EXPECT_GT(renderer.RenderLine(bigger, "WWWW").Height, renderer.RenderLine(spec, "WWWW").Height);
    const TCoverageMask again = renderer.RenderLine(spec, "WWWW");
    EXPECT_GE(again.Width, renderer.TextWidth(spec, "WWWW"));
    EXPECT_LE(again.Width, renderer.TextWidth(spec, "WWWW") + renderer.Metrics(spec).Height);
}

TEST(TextRenderWin, LongTextWrapsInANarrowRectangle) {
    TArgbSurface surface(120, 200);
    TRdCanvas canvas(surface);
    const TRect rect{10, 10, 110, 190};
    const TTextDrawResult result =
        canvas.DrawText("By installing or using this product, you agree to its terms", rect, Tahoma(-13, true), clRed,
                        tfWordBreak);
    EXPECT_GT(result.Lines, 1);
    EXPECT_TRUE(result.Wrapped);
    EXPECT_FALSE(result.Cut);
    const TInk ink = InkOf(surface, 255);
    EXPECT_GT(ink.Pixels, 100);
    EXPECT_EQ(ink.WrongColour, 0);
    EXPECT_GE(ink.Box.Left, rect.Left);
    EXPECT_LE(ink.Box.Right, rect.Right);
    EXPECT_LE(ink.Box.Bottom, rect.Bottom);
    EXPECT_GT(ink.Box.Height(), 13 + 5);  // more than one line of ink
}

// Arabic letters are drawn joined; they are measured the same way, so a
// right-aligned line ends at the right edge and its width is its ink.
TEST(TextRenderWin, ArabicIsMeasuredAsItIsDrawn) {
    const std::string title = "\xD8\xAC\xD8\xA7\xD9\x87\xD8\xB2 \xD9\x84\xD8\xAA\xD8\xAB\xD8\xA8\xD9\x8A\xD8\xAA "
                              "Qarto Private Browser";  // "ready to install" and the name
    const TFontSpec font = Tahoma(-24, true);
    TArgbSurface surface(600, 60);
    TRdCanvas canvas(surface);
    const TRect rect{10, 10, 590, 50};
    canvas.DrawText(title, rect, font, clRed, tfRight | tfSingleLine);
    const TInk ink = InkOf(surface, 255);
    const int width = DefaultTextRenderer().TextWidth(font, title);
    EXPECT_GT(ink.Pixels, 300);
    EXPECT_GE(ink.Box.Right, rect.Right - 4);
    EXPECT_LE(ink.Box.Right, rect.Right + 2);
    EXPECT_GE(ink.Box.Left, rect.Right - width - 2);
    EXPECT_LE(ink.Box.Left, rect.Right - width + 6);
}

TEST(TextRenderWin, SystemColoursFromThePlatform) {
    InstallWin32SystemColors();
    EXPECT_EQ(ColorToRgb(clWindow), static_cast<std::uint32_t>(GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(ColorToRgb(clBtnFace), static_cast<std::uint32_t>(GetSysColor(COLOR_BTNFACE)));
    SetSystemColorResolver(nullptr);
}

}  // namespace
