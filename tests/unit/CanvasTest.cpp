// Colours and the canvas's primitives, pixel by pixel: exact ends of gradients and
// lines, anti-aliased round shapes, text coverage composited with its alpha, and
// the clip that nothing may cross.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/Canvas.h"
#include "public/rdcontrol/drawing/Color.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/drawing/RasterOps.h"
#include "public/rdcontrol/drawing/TextRenderer.h"

namespace {

template <typename T>
std::string CaseName(const ::testing::TestParamInfo<T>& param) {
    return param.param.Name;
}

std::uint32_t AlphaOf(std::uint32_t pixel) { return pixel >> 24; }

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// ---- Colours ----

class ResolverGuard {
public:
    ~ResolverGuard() { SetSystemColorResolver(nullptr); }
};

TEST(Color, RgbOfPlainSentinelAndSystemColours) {
    EXPECT_EQ(ColorToRgb(RGB(1, 2, 3)), 0x030201u);
    EXPECT_EQ(ColorToRgb(0x12345678), 0x345678u);  // high byte dropped
    EXPECT_EQ(ColorToRgb(clNone), 0u);
    EXPECT_EQ(ColorToRgb(clDefault), 0u);
    // Without a platform resolver: the fixed light theme.
    EXPECT_EQ(ColorToRgb(clWindow), 0xFFFFFFu);
    EXPECT_EQ(ColorToRgb(clBtnFace), 0xF0F0F0u);
    EXPECT_EQ(ColorToRgb(cl3DDkShadow), 0x696969u);
    EXPECT_EQ(ColorToRgb(static_cast<TColor>(0xFF000040)), 0u);  // no such index
}

TEST(Color, ResolverAnswersSystemColoursUntilRemoved) {
    ResolverGuard guard;
    SetSystemColorResolver([](int index) { return 0xAB000000u | static_cast<std::uint32_t>(index) * 0x010101u; });
    EXPECT_EQ(ColorToRgb(clHighlight), 0x0D0D0Du);  // its high byte dropped too
    EXPECT_EQ(ColorToRgb(RGB(9, 9, 9)), 0x090909u);
    SetSystemColorResolver(nullptr);
    EXPECT_EQ(ColorToRgb(clHighlight), 0xD77800u);
}

TEST(Color, ArgbIsPremultiplied) {
    EXPECT_EQ(ColorToArgb(clRed), 0xFFFF0000u);
    EXPECT_EQ(ColorToArgb(clRed, 128), 0x80800000u);
    EXPECT_EQ(ColorToArgb(RGB(10, 20, 30)), 0xFF0A141Eu);
    EXPECT_EQ(ColorToArgb(RGB(200, 100, 51), 51), 0x3328140Au);
    EXPECT_EQ(ColorToArgb(clNone), 0u);
    EXPECT_EQ(ColorToArgb(clDefault), 0u);
    EXPECT_EQ(ColorToArgb(clWhite, 0), 0u);
}

// ---- Rectangles and gradients ----

TEST(CanvasFrame, EveryFramePixelBlendedOnce) {
    for (int width : {1, 2}) {
        SCOPED_TRACE(width);
        TArgbSurface surface(10, 8);
        TRdCanvas canvas(surface);
        canvas.FrameRect(TRect{1, 1, 9, 7}, clBlue, width, 128);
        const TRect inner{1 + width, 1 + width, 9 - width, 7 - width};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool frame = TRect{1, 1, 9, 7}.Contains(x, y) && !inner.Contains(x, y);
                EXPECT_EQ(surface.Pixel(x, y), frame ? ColorToArgb(clBlue, 128) : 0u) << x << "," << y;
            }
    }
}

TEST(CanvasFrame, WidthOfHalfTheSizeFills) {
    TArgbSurface surface(6, 6);
    TRdCanvas canvas(surface);
    canvas.FrameRect(TRect{0, 0, 6, 4}, clRed, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(surface.Pixel(x, y), 0xFFFF0000u);
}

struct TGradientCase {
    const char* Name;
    bool Vertical;
    std::uint8_t Alpha;
};
void PrintTo(const TGradientCase& c, std::ostream* out) { *out << c.Name; }

class CanvasGradient : public ::testing::TestWithParam<TGradientCase> {};

TEST_P(CanvasGradient, ExactEndsAndMidpoint) {
    const TGradientCase& c = GetParam();
    TArgbSurface surface(11, 11);
    TRdCanvas canvas(surface);
    const TColor from = RGB(0, 200, 10), to = RGB(200, 100, 250);
    canvas.GradientFill(surface.Bounds(), from, to, c.Vertical, c.Alpha);
    auto at = [&](int i) { return c.Vertical ? surface.Pixel(3, i) : surface.Pixel(i, 3); };
    EXPECT_EQ(at(0), ColorToArgb(from, c.Alpha));
    EXPECT_EQ(at(10), ColorToArgb(to, c.Alpha));
    EXPECT_EQ(at(5), ColorToArgb(RGB(100, 150, 130), c.Alpha));
    // Constant across the gradient, monotonic along it.
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(c.Vertical ? surface.Pixel(0, i) : surface.Pixel(i, 0), at(i));
        if (i > 0) {
            EXPECT_GE((at(i) >> 16) & 0xFF, (at(i - 1) >> 16) & 0xFF);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CanvasGradient,
                         ::testing::Values(TGradientCase{"Horizontal", false, 255},
                                           TGradientCase{"Vertical", true, 255},
                                           TGradientCase{"HorizontalHalfOpaque", false, 128},
                                           TGradientCase{"VerticalHalfOpaque", true, 77}),
                         CaseName<TGradientCase>);

TEST(CanvasGradientClip, ClippedPartIsTheSameDrawing) {
    for (bool vertical : {false, true}) {
        TArgbSurface whole(20, 20), clipped(20, 20);
        TRdCanvas a(whole), b(clipped);
        const TRect rect{-7, -3, 25, 18};
        a.GradientFill(rect, clRed, clBlue, vertical);
        b.SetClipRect(TRect{4, 5, 9, 11});
        b.GradientFill(rect, clRed, clBlue, vertical);
        for (int y = 5; y < 11; ++y)
            for (int x = 4; x < 9; ++x) EXPECT_EQ(clipped.Pixel(x, y), whole.Pixel(x, y)) << vertical;
    }
}

TEST(CanvasGradientClip, NoneEndFadesOut) {
    TArgbSurface surface(5, 1);
    TRdCanvas canvas(surface);
    canvas.GradientFill(surface.Bounds(), clWhite, clNone, false);
    EXPECT_EQ(surface.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(surface.Pixel(2, 0), 0x80808080u);
    EXPECT_EQ(surface.Pixel(4, 0), 0u);
}

// ---- Lines ----

struct TLineCase {
    int X1, Y1, X2, Y2;
};
void PrintTo(const TLineCase& c, std::ostream* out) { *out << c.X1 << "," << c.Y1 << "->" << c.X2 << "," << c.Y2; }

class CanvasLine : public ::testing::TestWithParam<TLineCase> {};

// Both ends drawn, one pixel per step of the longer axis, consecutive pixels
// touching, none blended twice.
TEST_P(CanvasLine, EndsIncludedOnePixelPerStep) {
    const TLineCase& c = GetParam();
    TArgbSurface surface(16, 16);
    TRdCanvas canvas(surface);
    canvas.Line(c.X1, c.Y1, c.X2, c.Y2, clGreen, 128);
    const std::uint32_t ink = ColorToArgb(clGreen, 128);
    EXPECT_EQ(surface.Pixel(c.X1, c.Y1), ink);
    EXPECT_EQ(surface.Pixel(c.X2, c.Y2), ink);
    int count = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t p = surface.Pixel(x, y);
            if (p == 0) continue;
            EXPECT_EQ(p, ink) << x << "," << y;
            ++count;
            // Every pixel but the ends has a drawn neighbour on each side.
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) neighbours += (dx || dy) && surface.Pixel(x + dx, y + dy) != 0;
            if (!(x == c.X1 && y == c.Y1) && !(x == c.X2 && y == c.Y2)) {
                EXPECT_GE(neighbours, 2) << x << "," << y;
            }
        }
    EXPECT_EQ(count, std::max(std::abs(c.X2 - c.X1), std::abs(c.Y2 - c.Y1)) + 1);
}

INSTANTIATE_TEST_SUITE_P(EveryDirection, CanvasLine,
                         ::testing::Values(TLineCase{2, 3, 12, 7}, TLineCase{12, 7, 2, 3}, TLineCase{3, 2, 7, 12},
                                           TLineCase{7, 12, 3, 2}, TLineCase{2, 12, 12, 8}, TLineCase{12, 2, 9, 14},
                                           TLineCase{1, 1, 14, 14}, TLineCase{14, 1, 1, 14}, TLineCase{0, 5, 15, 5},
                                           TLineCase{5, 15, 5, 0}, TLineCase{6, 6, 6, 6}));

TEST(CanvasLineClip, FarEndsDrawOnlyTheVisibleSteps) {
    TArgbSurface surface(8, 8);
    TRdCanvas canvas(surface);
    canvas.Line(-2000000000, 3, 2000000000, 3, clRed);
    canvas.Line(5, 2000000000, 5, -2000000000, clBlue);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(surface.Pixel(x, 3), x == 5 ? 0xFF0000FFu : 0xFFFF0000u);
    for (int y = 0; y < 8; ++y) EXPECT_EQ(surface.Pixel(5, y), 0xFF0000FFu);
}

TEST(CanvasPolyline, SharedPointsBlendedOnce) {
    TArgbSurface surface(10, 10);
    TRdCanvas canvas(surface);
    const TPoint points[] = {{1, 1}, {8, 1}, {8, 8}, {1, 8}};
    canvas.Polyline(points, clRed, 100);
    const std::uint32_t ink = ColorToArgb(clRed, 100);
    for (const TPoint& p : points) EXPECT_EQ(surface.Pixel(p.X, p.Y), ink);
    EXPECT_EQ(surface.Pixel(4, 1), ink);
    EXPECT_EQ(surface.Pixel(1, 4), 0u);  // not closed
}

// ---- Round shapes ----

TEST(CanvasRoundRect, FilledWithAntialiasedCorners) {
    TArgbSurface surface(20, 12);
    TRdCanvas canvas(surface);
    canvas.RoundRect(surface.Bounds(), 4, 4, clRed, clNone);
    EXPECT_EQ(surface.Pixel(10, 6), 0xFFFF0000u);
    EXPECT_EQ(surface.Pixel(10, 0), 0xFFFF0000u);  // straight edges are crisp
    EXPECT_EQ(surface.Pixel(0, 6), 0xFFFF0000u);
    EXPECT_EQ(surface.Pixel(0, 0), 0u);
    bool partial = false;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const std::uint32_t p = surface.Pixel(x, y);
            partial = partial || (AlphaOf(p) > 0 && AlphaOf(p) < 255);
            // Valid premultiplied red and symmetric about both axes.
            EXPECT_EQ(p & 0x0000FFFFu, 0u);
            EXPECT_LE((p >> 16) & 0xFF, AlphaOf(p));
            EXPECT_EQ(p, surface.Pixel(19 - x, y)) << x << "," << y;
            EXPECT_EQ(p, surface.Pixel(x, 11 - y)) << x << "," << y;
        }
    EXPECT_TRUE(partial);
}

TEST(CanvasRoundRect, PenOnlyLeavesTheInsideAlone) {
    TArgbSurface surface(20, 12, 0xFF010203);
    TRdCanvas canvas(surface);
    canvas.RoundRect(surface.Bounds(), 3, 3, clNone, clWhite);
    EXPECT_EQ(surface.Pixel(10, 6), 0xFF010203u);
    EXPECT_EQ(surface.Pixel(1, 6), 0xFF010203u);
    EXPECT_EQ(surface.Pixel(10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(surface.Pixel(0, 6), 0xFFFFFFFFu);
    EXPECT_EQ(surface.Pixel(19, 6), 0xFFFFFFFFu);
    EXPECT_EQ(surface.Pixel(10, 11), 0xFFFFFFFFu);
}

TEST(CanvasRoundRect, FillAndPenSplitTheShape) {
    TArgbSurface surface(12, 12);
    TRdCanvas canvas(surface);
    canvas.RoundRect(surface.Bounds(), 0, 0, clRed, clBlue);
    EXPECT_EQ(surface.Pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(surface.Pixel(11, 5), 0xFF0000FFu);
    EXPECT_EQ(surface.Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(surface.Pixel(10, 10), 0xFFFF0000u);
}

TEST(CanvasRoundRect, RadiiClampedToHalfTheSizeGiveTheEllipse) {
    TArgbSurface rounded(10, 6), ellipse(10, 6);
    TRdCanvas a(rounded), b(ellipse);
    a.RoundRect(rounded.Bounds(), 1000, 1000, clRed, clBlue);
    b.Ellipse(ellipse.Bounds(), clRed, clBlue);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(rounded.Pixel(x, y), ellipse.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(AlphaOf(ellipse.Pixel(0, 0)), 0u);
    EXPECT_EQ(ellipse.Pixel(5, 3), 0xFFFF0000u);
}

// ---- Text ----

class CanvasText : public ::testing::Test {
protected:
    // 12-pixel font: cells 6 wide, boxes over rows 2..11, columns 1..4 of a cell.
    TFixedTextRenderer Renderer;
    TArgbSurface Surface{40, 50};
    TRdCanvas Canvas{Surface, &Renderer};
    TFontSpec Plain = [] {
        TFontSpec font;
        font.Antialiased = false;
        return font;
    }();
};

TEST_F(CanvasText, GlyphPixelsTakeTheFontAlphaOnTransparent) {
    Canvas.TextOut(0, 0, "a b", Plain, RGB(200, 100, 0), 180);
    const std::uint32_t ink = ColorToArgb(RGB(200, 100, 0), 180);
    EXPECT_EQ(Surface.Pixel(1, 2), ink);
    EXPECT_EQ(Surface.Pixel(4, 11), ink);
    EXPECT_EQ(Surface.Pixel(13, 5), ink);
    EXPECT_EQ(Surface.Pixel(0, 5), 0u);  // gap between boxes
    EXPECT_EQ(Surface.Pixel(8, 5), 0u);  // the space has no ink
    EXPECT_EQ(Surface.Pixel(2, 1), 0u);  // above the glyph top
    EXPECT_EQ(Surface.Pixel(2, 12), 0u);  // below the base line
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 40; ++x) EXPECT_TRUE(Surface.Pixel(x, y) == 0 || Surface.Pixel(x, y) == ink);
}

TEST_F(CanvasText, AntialiasedEdgesAreIntermediate) {
    TFontSpec smooth;
    Canvas.TextOut(0, 0, "a", smooth, clWhite, 200);
    EXPECT_EQ(AlphaOf(Surface.Pixel(0, 5)), Div255(128 * 200));
    EXPECT_EQ(AlphaOf(Surface.Pixel(2, 5)), 200u);
}

TEST_F(CanvasText, CompositesOverWhatIsThere) {
    Surface.Fill(0xFF0000FF);
    Canvas.TextOut(0, 0, "a", Plain, clRed, 128);
    EXPECT_EQ(Surface.Pixel(2, 5), BlendPixel(0xFF0000FF, ColorToArgb(clRed, 128)));
    EXPECT_EQ(Surface.Pixel(0, 5), 0xFF0000FFu);
}

TEST_F(CanvasText, DrawTextLaysOutAndReports) {
    const TRect rect{2, 1, 2 + 5 * 6, 1 + 30};  // five characters, two lines
    const TTextDrawResult result =
        Canvas.DrawText("ab cd ef gh ij", rect, Plain, clBlack, tfWordBreak | tfEndEllipsis);
    EXPECT_EQ(result.Lines, 2);
    EXPECT_TRUE(result.Cut);
    EXPECT_TRUE(result.Wrapped);
    EXPECT_EQ(result.Bounds, (TRect{2, 1, 2 + 5 * 6, 31}));  // "ab cd", "ef..."
    EXPECT_EQ(Surface.Pixel(2 + 1, 1 + 2), 0xFF000000u);        // 'a'
    EXPECT_EQ(Surface.Pixel(2 + 4 * 6 + 1, 16 + 2), 0xFF000000u);  // the last '.'
    EXPECT_EQ(Surface.Pixel(2 + 1, 31 + 2), 0u);                 // no third line

    TArgbSurface untouched(40, 50);
    TRdCanvas measuring(untouched, &Renderer);
    const TTextDrawResult measured =
        measuring.DrawText("ab cd ef gh ij", rect, Plain, clBlack, tfWordBreak | tfEndEllipsis | tfCalcRect);
    EXPECT_EQ(measured.Bounds, result.Bounds);
    EXPECT_EQ(measured.Lines, result.Lines);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 40; ++x) EXPECT_EQ(untouched.Pixel(x, y), 0u);
}

TEST_F(CanvasText, DrawTextStaysInsideItsRectangle) {
    const TRect rect{3, 4, 17, 10};  // narrower and lower than the text
    const TTextDrawResult result = Canvas.DrawText("abcdefgh\nijk", rect, Plain, clRed, 0);
    EXPECT_EQ(result.Lines, 1);
    EXPECT_TRUE(result.Cut);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 40; ++x)
            if (!rect.Contains(x, y)) {
                EXPECT_EQ(Surface.Pixel(x, y), 0u) << x << "," << y;
            }
    EXPECT_EQ(Surface.Pixel(4, 6), 0xFFFF0000u);
}

// ---- Pictures through a layer ----

TEST(CanvasDesign, TranslucentDesignMatchesTheDrawingBlendedWhole) {
    TArgbSurface picture(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            picture.SetPixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 40) << 16 |
                                       static_cast<std::uint32_t>(y * 40) << 8);
    TDesignRect option;
    option.SetLeft(2);
    option.SetTop(2);
    option.SetRight(2);
    option.SetBottom(2);
    const TRect dest{-5, -4, 15, 13};

    TArgbSurface surface(10, 8, 0xFF202020);
    TRdCanvas canvas(surface);
    canvas.DrawDesign(option, picture, dest, psfDefault, 128);

    TArgbSurface layer(dest.Width(), dest.Height());
    option.Draw(picture, layer, layer.Bounds(), psfDefault);
    TArgbSurface expected(10, 8, 0xFF202020);
    BlendSurface(expected, dest.Left, dest.Top, layer, 128);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(surface.Pixel(x, y), expected.Pixel(x, y)) << x << "," << y;
}

// ---- The clip ----

struct TClipCase {
    const char* Name;
    std::function<void(TRdCanvas&)> Paint;
};
void PrintTo(const TClipCase& c, std::ostream* out) { *out << c.Name; }

class CanvasClip : public ::testing::TestWithParam<TClipCase> {};

// Each primitive, drawn far beyond a clip that sits inside the surface, with the
// origin moved: pixels outside the clip keep their value, and the primitive does
// reach inside it.
TEST_P(CanvasClip, NothingWrittenOutsideTheClip) {
    constexpr std::uint32_t Sentinel = 0xFF102030;
    TArgbSurface surface(40, 30, Sentinel);
    TRdCanvas canvas(surface);
    canvas.SetOrigin(TPoint{5, 4});
    const TRect clip{8, 6, 30, 20};
    canvas.SetClipRect(clip);
    GetParam().Paint(canvas);
    bool inside = false;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            if (clip.Contains(x, y)) {
                inside = inside || surface.Pixel(x, y) != Sentinel;
            } else {
                ASSERT_EQ(surface.Pixel(x, y), Sentinel) << x << "," << y << " = " << Hex(surface.Pixel(x, y));
            }
        }
    EXPECT_TRUE(inside);
}

TArgbSurface Opaque(int width, int height) { return TArgbSurface(width, height, 0xFF336699); }

TFontSpec BigFont() {
    TFontSpec font;
    font.Height = -20;
    return font;
}

INSTANTIATE_TEST_SUITE_P(
    Primitives, CanvasClip,
    ::testing::Values(
        TClipCase{"FillRect", [](TRdCanvas& c) { c.FillRect(TRect{-100, -100, 100, 100}, clRed, 200); }},
        TClipCase{"FrameRect", [](TRdCanvas& c) { c.FrameRect(TRect{0, 0, 20, 12}, clRed, 3); }},
        TClipCase{"GradientHorizontal",
                  [](TRdCanvas& c) { c.GradientFill(TRect{-50, -50, 80, 80}, clRed, clBlue, false); }},
        TClipCase{"GradientVertical",
                  [](TRdCanvas& c) { c.GradientFill(TRect{-50, -50, 80, 80}, clRed, clBlue, true); }},
        TClipCase{"Lines",
                  [](TRdCanvas& c) {
                      c.Line(-1000, -700, 1000, 800, clRed);
                      c.Line(-50, 5, 90, 5, clRed);
                      c.Line(7, 90, 7, -50, clRed);
                  }},
        TClipCase{"Polyline",
                  [](TRdCanvas& c) {
                      const TPoint points[] = {{-20, 2}, {60, 8}, {-5, 40}};
                      c.Polyline(points, clRed);
                  }},
        TClipCase{"RoundRect", [](TRdCanvas& c) { c.RoundRect(TRect{-10, -10, 40, 30}, 8, 8, clRed, clBlue); }},
        TClipCase{"Ellipse", [](TRdCanvas& c) { c.Ellipse(TRect{-10, -10, 40, 30}, clRed, clBlue, 128); }},
        TClipCase{"TextOut", [](TRdCanvas& c) { c.TextOut(-3, -2, "MMMMMMMMMMMM", BigFont(), clRed); }},
        TClipCase{"DrawText",
                  [](TRdCanvas& c) {
                      c.DrawText("MMMM MMMM MMMM MMMM MMMM", TRect{-10, -10, 100, 100}, BigFont(), clRed, tfWordBreak);
                  }},
        TClipCase{"Draw", [](TRdCanvas& c) { c.Draw(-10, -10, Opaque(60, 60), 200); }},
        TClipCase{"StretchDraw",
                  [](TRdCanvas& c) { c.StretchDraw(TRect{-10, -10, 70, 50}, Opaque(4, 4), TRect{0, 0, 4, 4}); }},
        TClipCase{"DrawDesignTranslucent",
                  [](TRdCanvas& c) {
                      TDesignRect option;
                      option.SetLeft(1);
                      c.DrawDesign(option, Opaque(4, 4), TRect{-10, -10, 70, 50}, psfFastSmooth, 100);
                  }}),
    CaseName<TClipCase>);

}  // namespace
