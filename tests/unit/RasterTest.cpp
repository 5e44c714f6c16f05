// Surfaces, the raster operations and nine-slice placement, checked pixel by pixel
// on pictures of a few pixels whose every pixel has its own colour.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "public/rdcontrol/drawing/ArgbSurface.h"
#include "public/rdcontrol/drawing/DesignRect.h"
#include "public/rdcontrol/drawing/RasterOps.h"

// Readable test names: the mode is a one-byte enumeration, which would print as a
// control character.
const char* ModeName(TStretchDrawMode mode) {
    static const char* const names[] = {"Default", "Stretch", "Fill", "Frame"};
    return names[mode];
}
void PrintTo(TStretchDrawMode mode, std::ostream* out) { *out << ModeName(mode); }

namespace {

constexpr std::uint32_t Background = 0xFF0A0B0C;

// Opaque, different for every (x, y) of a small picture.
std::uint32_t Coded(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(x * 16 + 1) << 16 | static_cast<std::uint32_t>(y * 16 + 1) << 8 |
           0x33;
}

TArgbSurface Picture(int width, int height, std::function<std::uint32_t(int, int)> pixel = Coded) {
    TArgbSurface picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, pixel(x, y));
    return picture;
}

// Premultiplied white at the given coverage: all four channels carry the value.
std::uint32_t Gray(std::uint32_t v) { return v << 24 | v << 16 | v << 8 | v; }

::testing::AssertionResult PixelsAre(const TArgbSurface& surface, const std::function<std::uint32_t(int, int)>& expected) {
    std::string wrong;
    int count = 0;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.Pixel(x, y) != expected(x, y) && ++count <= 5) {
                char line[96];
                std::snprintf(line, sizeof line, " (%d,%d)=%08X want %08X", x, y, surface.Pixel(x, y), expected(x, y));
                wrong += line;
            }
    if (count == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << count << " wrong pixels:" << wrong;
}

// ---- TArgbSurface ----

TEST(RasterSurface, OwningCopiesArePixelsAndViewsShareThem) {
    TArgbSurface owner(3, 2, 0x11223344);
    TArgbSurface copy = owner;
    copy.SetPixel(0, 0, 0xFFFFFFFF);
    EXPECT_EQ(owner.Pixel(0, 0), 0x11223344u);
    EXPECT_TRUE(copy.OwnsPixels());

    TArgbSurface view = owner.SubSurface(owner.Bounds());
    TArgbSurface viewCopy = view;
    EXPECT_FALSE(viewCopy.OwnsPixels());
    viewCopy.SetPixel(2, 1, 0xFF000000);
    EXPECT_EQ(owner.Pixel(2, 1), 0xFF000000u);

    TArgbSurface moved = std::move(copy);
    EXPECT_EQ(moved.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_TRUE(copy.Empty());  // a moved-from surface is left empty

    // Outside reads as transparent and ignores writes.
    owner.SetPixel(-1, 0, 1);
    owner.SetPixel(3, 0, 1);
    EXPECT_EQ(owner.Pixel(3, 0), 0u);
    EXPECT_EQ(owner.Pixel(0, -1), 0u);
    EXPECT_TRUE(TArgbSurface(-1, 4).Empty());
}

// Sizes from skins and pictures: a surface whose bytes would overflow (a 32-bit
// size_t wraps 65536 x 65536 x 4 to 0) or pass the budget is empty, never short.
TEST(RasterSurface, ImpossibleSizesGiveAnEmptySurface) {
    struct Case {
        int width, height;
        bool empty;
    } cases[] = {
        {65536, 65536, true},
        {INT32_MAX, INT32_MAX, true},
        {8193, 8192, true},  // one column past 256 MiB
        {-5, 10, true},
        {4096, 4096, false},
        {1, 1, false},
    };
    for (const Case& c : cases) {
        TArgbSurface s(c.width, c.height, 0xFF00FF00u);
        EXPECT_EQ(s.Empty(), c.empty) << c.width << " x " << c.height;
        if (c.empty) {
            EXPECT_EQ(s.Width(), 0) << c.width << " x " << c.height;
            EXPECT_EQ(s.Height(), 0) << c.width << " x " << c.height;
            s.FillRect(TRect{0, 0, c.width, c.height}, 1);  // writes nothing anywhere
        } else {
            EXPECT_EQ(s.Pixel(c.width - 1, c.height - 1), 0xFF00FF00u);
            s.SetPixel(c.width - 1, c.height - 1, 7);
            EXPECT_EQ(s.Row(c.height - 1)[c.width - 1], 7u);
        }
    }
}

TEST(RasterSurface, PixelsLieInMemoryAsDibBytes) {
    TArgbSurface surface(1, 1, 0x80402010);
    unsigned char bytes[4];
    std::memcpy(bytes, surface.Row(0), 4);
    EXPECT_EQ(bytes[0], 0x10);  // blue
    EXPECT_EQ(bytes[1], 0x20);  // green
    EXPECT_EQ(bytes[2], 0x40);  // red
    EXPECT_EQ(bytes[3], 0x80);  // alpha
}

TEST(RasterSurface, ViewWithStrideSubSurfaceAndFillsClip) {
    // A 3 x 2 view into the middle of a 5 x 4 buffer.
    std::vector<std::uint32_t> buffer(20, 7);
    TArgbSurface view = TArgbSurface::View(buffer.data() + 6, 3, 2, 5);
    ASSERT_EQ(view.Width(), 3);
    view.Fill(1);
    view.FillRect(TRect{2, -5, 9, 1}, 2);  // only (2, 0) is inside
    TArgbSurface part = view.SubSurface(TRect{1, 1, 10, 10});
    EXPECT_EQ(part.Bounds(), (TRect{0, 0, 2, 1}));
    part.Clear();
    const std::vector<std::uint32_t> want = {7, 7, 7, 7, 7,  //
                                             7, 1, 1, 2, 7,  //
                                             7, 1, 0, 0, 7,  //
                                             7, 7, 7, 7, 7};
    EXPECT_EQ(buffer, want);
    EXPECT_TRUE(view.SubSurface(TRect{3, 0, 5, 2}).Empty());
    EXPECT_TRUE(TArgbSurface::View(buffer.data(), 4, 2, 3).Empty());  // stride shorter than a row
}

// ---- Source-over ----

TEST(RasterSourceOver, Div255RoundsToNearestOverTheWholeRange) {
    for (std::uint32_t x = 0; x <= 255 * 255; ++x) ASSERT_EQ(Div255(x), (x + 127) / 255) << x;
}

struct TBlendCase {
    const char* Name;
    std::uint32_t Dest, Source;
    std::uint8_t Alpha;
    std::uint32_t Expected;
};
void PrintTo(const TBlendCase& c, std::ostream* out) { *out << c.Name; }

class RasterSourceOver : public ::testing::TestWithParam<TBlendCase> {};

TEST_P(RasterSourceOver, ComposesPremultipliedPixels) {
    const TBlendCase& c = GetParam();
    EXPECT_EQ(BlendPixel(c.Dest, c.Source, c.Alpha), c.Expected);
    // The same through a surface operation, which must agree with the pixel rule.
    TArgbSurface dest(1, 1, c.Dest);
    BlendSurface(dest, 0, 0, TArgbSurface(1, 1, c.Source), c.Alpha);
    EXPECT_EQ(dest.Pixel(0, 0), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterSourceOver,
    ::testing::Values(
        TBlendCase{"OpaqueReplaces", 0xFF0000FF, 0xFF102030, 255, 0xFF102030},
        TBlendCase{"AlphaZeroKeepsDest", 0x80402010, 0xFFFFFFFF, 0, 0x80402010},
        TBlendCase{"TransparentSourceKeepsDest", 0x7F010203, 0x00000000, 255, 0x7F010203},
        // 0x10 + 255 * 127 / 255 = 0x8F blue; alpha 128 + 127.
        TBlendCase{"HalfCoverOverOpaque", 0xFF0000FF, 0x80402010, 255, 0xFF40208F},
        // Opaque red at alpha 128 is 0x80800000; blue keeps 255 * 127 / 255 = 127.
        TBlendCase{"ConstantAlphaHalf", 0xFF0000FF, 0xFFFF0000, 128, 0xFF80007F},
        // Every channel scaled by 128/255, rounded: 64, 32, 16, 8.
        TBlendCase{"ConstantAlphaOnTranslucent", 0x00000000, 0x80402010, 128, 0x40201008},
        TBlendCase{"AlphaFullCopiesTranslucentOverTransparent", 0x00000000, 0x80402010, 255, 0x80402010},
        TBlendCase{"TranslucentOverTranslucent", 0x80800000, 0x80008000, 255, 0xC0408000}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(RasterOps, BlendSurfaceClipsSourceAndDestination) {
    // Source rectangle (1,0)-(4,2) of a 3 x 2 picture is cut to its columns 1..2;
    // placed at (-1, 1), only its column 2 lands on the 3 x 3 canvas, at x = 0.
    TArgbSurface canvas(3, 3, Background);
    BlendSurface(canvas, -1, 1, Picture(3, 2), TRect{1, 0, 4, 2});
    EXPECT_TRUE(PixelsAre(canvas, [](int x, int y) { return x == 0 && y >= 1 ? Coded(2, y - 1) : Background; }));
}

TEST(RasterOps, FillRectBlendComposesInsideTheCanvasOnly) {
    TArgbSurface canvas(3, 2, 0xFF0000FF);
    FillRectBlend(canvas, TRect{1, 1, 5, 9}, 0x80800000);
    EXPECT_TRUE(PixelsAre(canvas, [](int x, int y) { return x >= 1 && y == 1 ? 0xFF80007Fu : 0xFF0000FFu; }));
}

TEST(RasterOps, TileRepeatsTheSourceRectangleFromTheDestinationOrigin) {
    // The 2 x 2 rectangle at (1, 1) of a 3 x 3 picture over (-1, 0)-(4, 3).
    TArgbSurface canvas(4, 3, Background);
    TileBlend(canvas, TRect{-1, 0, 4, 3}, Picture(3, 3), TRect{1, 1, 3, 3});
    EXPECT_TRUE(PixelsAre(canvas, [](int x, int y) { return Coded(1 + (x + 1) % 2, 1 + y % 2); }));
}

// ---- Stretching ----

struct TStretchCase {
    const char* Name;
    TPixelStretchFilter Filter;
    std::vector<std::uint32_t> Source;  // coverage values of one row, see Gray()
    std::vector<std::uint32_t> Expected;
};
void PrintTo(const TStretchCase& c, std::ostream* out) { *out << c.Name; }

class RasterStretch : public ::testing::TestWithParam<TStretchCase> {};

// Each case runs along a row and along a column: the filters are separable and
// must treat both axes alike.
TEST_P(RasterStretch, FiltersAlongEitherAxis) {
    const TStretchCase& c = GetParam();
    const int from = static_cast<int>(c.Source.size()), to = static_cast<int>(c.Expected.size());
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical" : "horizontal");
        const TArgbSurface source = Picture(vertical ? 1 : from, vertical ? from : 1,
                                            [&](int x, int y) { return Gray(c.Source[static_cast<std::size_t>(x + y)]); });
        TArgbSurface canvas(vertical ? 1 : to, vertical ? to : 1);
        StretchBlend(canvas, canvas.Bounds(), source, source.Bounds(), c.Filter);
        EXPECT_TRUE(PixelsAre(canvas, [&](int x, int y) { return Gray(c.Expected[static_cast<std::size_t>(x + y)]); }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RasterStretch,
    ::testing::Values(
        TStretchCase{"NearestSameSizeCopies", psfDefault, {10, 20, 30}, {10, 20, 30}},
        TStretchCase{"BilinearSameSizeCopies", psfFastSmooth, {10, 20, 30}, {10, 20, 30}},
        TStretchCase{"AreaSameSizeCopies", psfSmooth, {10, 20, 30}, {10, 20, 30}},
        TStretchCase{"NearestDoubles", psfDefault, {0, 200}, {0, 0, 200, 200}},
        TStretchCase{"NearestShrinksByCentres", psfDefault, {0, 90, 180}, {0, 180}},
        // Centre-aligned: positions -0.25 (held at 0), 0.25, 0.75, 1.25 (held at 1).
        TStretchCase{"BilinearGrows", psfFastSmooth, {0, 200}, {0, 50, 150, 200}},
        TStretchCase{"BilinearHalves", psfFastSmooth, {0, 40, 80, 120}, {20, 100}},
        // Bilinear samples only around position 1.5 and misses the last pixel.
        TStretchCase{"BilinearShrinkSkipsPixels", psfFastSmooth, {0, 0, 0, 240}, {0}},
        TStretchCase{"AreaShrinkCountsEveryPixel", psfSmooth, {0, 0, 0, 240}, {60}},
        // Pixel 0 covers 1.5 source pixels: 2/3 of 0 and 1/3 of 90.
        TStretchCase{"AreaShrinksByFractions", psfSmooth, {0, 90, 180}, {30, 150}},
        TStretchCase{"AreaGrowsBilinearly", psfSmooth, {0, 200}, {0, 50, 150, 200}}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(RasterOps, StretchIsCutNotSqueezedByTheCanvas) {
    const TArgbSurface picture = Picture(3, 2);
    for (TPixelStretchFilter filter : {psfDefault, psfFastSmooth, psfSmooth}) {
        SCOPED_TRACE(static_cast<int>(filter));
        TArgbSurface whole(7, 5);
        StretchBlend(whole, whole.Bounds(), picture, picture.Bounds(), filter);
        TArgbSurface cut(4, 3);
        StretchBlend(cut, TRect{-2, -1, 5, 4}, picture, picture.Bounds(), filter);
        EXPECT_TRUE(PixelsAre(cut, [&](int x, int y) { return whole.Pixel(x + 2, y + 1); }));
    }
}

// ---- TDesignRect ----

TDesignRect Margins(int all, TStretchDrawMode mode) {
    TDesignRect rect;
    rect.SetLeft(all);
    rect.SetTop(all);
    rect.SetRight(all);
    rect.SetBottom(all);
    rect.SetStretchMode(mode);
    return rect;
}

TEST(RasterDesignRect, PropertiesReportEveryChange) {
    TDesignRect rect;
    EXPECT_TRUE(rect.Empty());
    int changes = 0;
    rect.OnChange = [&] { ++changes; };
    rect.SetLeft(3);
    rect.SetLeft(3);  // same value: nothing changed
    rect.SetTop(1);
    rect.SetRight(2);
    rect.SetBottom(4);
    EXPECT_EQ(changes, 4);
    EXPECT_FALSE(rect.Empty());

    TDesignRect other;
    other.SetStretchMode(sdmFrame);
    EXPECT_FALSE(other.Empty());  // the mode alone makes it non-empty
    rect.Assign(other);
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(rect.Left() + rect.Top() + rect.Right() + rect.Bottom(), 0);
    EXPECT_EQ(rect.StretchMode(), sdmFrame);
    rect.Assign(other);
    EXPECT_EQ(changes, 5);
    rect.SetStretchMode(sdmFill);
    EXPECT_EQ(changes, 6);
}

TEST(RasterDesignRect, NoMarginsStretchTheWholePictureExceptInFillMode) {
    // 4 x 4 picture over (1, 1)-(9, 9) of a 10 x 10 canvas: stretched 2x, except
    // in fill mode, where the picture is one centre piece larger than 3 and tiles.
    const TArgbSurface picture = Picture(4, 4);
    for (TStretchDrawMode mode : {sdmDefault, sdmStretch, sdmFrame, sdmFill}) {
        SCOPED_TRACE(ModeName(mode));
        TArgbSurface canvas(10, 10, Background);
        Margins(0, mode).Draw(picture, canvas, TRect{1, 1, 9, 9}, psfDefault);
        EXPECT_TRUE(PixelsAre(canvas, [&](int x, int y) {
            if (x < 1 || y < 1 || x >= 9 || y >= 9) return Background;
            return mode == sdmFill ? Coded((x - 1) % 4, (y - 1) % 4) : Coded((x - 1) / 2, (y - 1) / 2);
        }));
    }
}

TEST(RasterDesignRect, StretchesWithTheBilinearFilterUnlessToldOtherwise) {
    const TArgbSurface picture = Picture(2, 2);
    TArgbSurface drawn(5, 3), smooth(5, 3), nearest(5, 3);
    TDesignRect().Draw(picture, drawn, drawn.Bounds());
    StretchBlend(smooth, smooth.Bounds(), picture, picture.Bounds(), psfFastSmooth);
    StretchBlend(nearest, nearest.Bounds(), picture, picture.Bounds(), psfDefault);
    EXPECT_TRUE(PixelsAre(drawn, [&](int x, int y) { return smooth.Pixel(x, y); }));
    EXPECT_FALSE(PixelsAre(drawn, [&](int x, int y) { return nearest.Pixel(x, y); }));
}

// 6 x 6 picture, margins 2, over 10 x 10: corners 1:1, the 2-pixel middle stretched
// to 6 by nearest pixel (each source pixel three times).
constexpr int NineSliceMap[10] = {0, 1, 2, 2, 2, 3, 3, 3, 4, 5};

class RasterNineSlice : public ::testing::TestWithParam<TStretchDrawMode> {};

TEST_P(RasterNineSlice, CornersAreCopiedEdgesStretchedAndFrameKeepsTheCentre) {
    // Fill mode stretches too: every piece here is 2 pixels thick, too small to tile.
    const TStretchDrawMode mode = GetParam();
    TArgbSurface canvas(10, 10, Background);
    Margins(2, mode).Draw(Picture(6, 6), canvas, canvas.Bounds(), psfDefault);
    EXPECT_TRUE(PixelsAre(canvas, [&](int x, int y) {
        const bool centre = x >= 2 && x < 8 && y >= 2 && y < 8;
        return centre && mode == sdmFrame ? Background : Coded(NineSliceMap[x], NineSliceMap[y]);
    }));
}

INSTANTIATE_TEST_SUITE_P(Modes, RasterNineSlice, ::testing::Values(sdmDefault, sdmStretch, sdmFill, sdmFrame),
                         [](const auto& testCase) { return std::string(ModeName(testCase.param)); });

TEST(RasterDesignRect, FillModeTilesPiecesLargerThanThree) {
    // 12 x 12 picture, margins 4, over 20 x 20: the 4 x 4 centre and edges tile with
    // their period of 4; in stretch mode they grow 3x instead.
    const TArgbSurface picture = Picture(12, 12);
    const auto tiled = [](int d) { return d < 4 ? d : d >= 16 ? d - 8 : 4 + (d - 4) % 4; };
    const auto stretched = [](int d) { return d < 4 ? d : d >= 16 ? d - 8 : 4 + (d - 4) / 3; };
    for (TStretchDrawMode mode : {sdmFill, sdmStretch}) {
        SCOPED_TRACE(ModeName(mode));
        TArgbSurface canvas(20, 20, Background);
        Margins(4, mode).Draw(picture, canvas, canvas.Bounds(), psfDefault);
        const auto map = mode == sdmFill ? +tiled : +stretched;
        EXPECT_TRUE(PixelsAre(canvas, [&](int x, int y) { return Coded(map(x), map(y)); }));
    }
}

TEST(RasterDesignRect, FillModeTilesACentreOnlyWhenLargerThanThree) {
    // (4 + c)-pixel square picture, margins 2, over 12 x 12: the c x c centre tiles
    // from c = 4 on and stretches below; the c x 2 and 2 x c edges always stretch.
    for (int c : {2, 3, 4}) {
        SCOPED_TRACE(c);
        const int size = 4 + c;
        TArgbSurface canvas(12, 12, Background);
        Margins(2, sdmFill).Draw(Picture(size, size), canvas, canvas.Bounds(), psfDefault);
        // Nearest pixel of the middle 8 destination pixels over the c source pixels.
        const auto edge = [&](int d) { return d < 2 ? d : d >= 10 ? size - 12 + d : 2 + (2 * (d - 2) + 1) * c / 16; };
        EXPECT_TRUE(PixelsAre(canvas, [&](int x, int y) {
            const bool centre = x >= 2 && x < 10 && y >= 2 && y < 10;
            if (centre && c > 3) return Coded(2 + (x - 2) % c, 2 + (y - 2) % c);
            return Coded(edge(x), edge(y));
        }));
    }
}

TEST(RasterDesignRect, StretchDropsMarginsAlongAnAxisOfTheImagesOwnLength) {
    // Translucent 6 x 6 picture whose margins overlap (4 + 4 > 6) along the axis
    // where the destination is as long as the picture. Stretch mode drops them and
    // composites every pixel once; fill mode keeps them, so the overlap (picture
    // rows or columns 2 and 3) is composited twice by the two edges, which tile.
    const auto translucent = [](int x, int y) {
        return 0x80000000u | static_cast<std::uint32_t>(x * 8) << 16 | static_cast<std::uint32_t>(y * 8) << 8 | 0x10;
    };
    const TArgbSurface picture = Picture(6, 6, translucent);
    for (bool vertical : {false, true}) {
        for (TStretchDrawMode mode : {sdmStretch, sdmDefault, sdmFill}) {
            SCOPED_TRACE(std::string(vertical ? "vertical " : "horizontal ") + ModeName(mode));
            // Horizontal: dest 12 x 6 with T = B = 4; vertical: dest 6 x 12 with L = R = 4.
            TDesignRect rect;
            rect.SetStretchMode(mode);
            if (vertical) {
                rect.SetLeft(4);
                rect.SetRight(4);
            } else {
                rect.SetTop(4);
                rect.SetBottom(4);
            }
            TArgbSurface canvas(vertical ? 6 : 12, vertical ? 12 : 6, Background);
            rect.Draw(picture, canvas, canvas.Bounds(), psfDefault);
            EXPECT_TRUE(PixelsAre(canvas, [&](int x, int y) {
                const int along = vertical ? y : x, across = vertical ? x : y;  // across: the same-length axis
                const auto pixel = [&](int a) { return vertical ? translucent(across, a) : translucent(a, across); };
                if (mode != sdmFill) return BlendPixel(Background, pixel(along / 2));
                const std::uint32_t once = BlendPixel(Background, pixel(along % 6));
                return across == 2 || across == 3 ? BlendPixel(once, pixel(along % 6)) : once;
            }));
        }
    }
}

TEST(RasterDesignRect, DestinationPartlyOutsideShowsTheSameDrawingCut) {
    const TArgbSurface picture = Picture(6, 6);
    for (TStretchDrawMode mode : {sdmStretch, sdmFill, sdmFrame}) {
        SCOPED_TRACE(ModeName(mode));
        TDesignRect rect = Margins(2, mode);
        TArgbSurface whole(10, 10, Background);
        rect.Draw(picture, whole, whole.Bounds());
        TArgbSurface cut(6, 6, Background);
        rect.Draw(picture, cut, TRect{-3, -2, 7, 8});
        EXPECT_TRUE(PixelsAre(cut, [&](int x, int y) { return whole.Pixel(x + 3, y + 2); }));

        TArgbSurface untouched(6, 6, Background);
        rect.Draw(picture, untouched, TRect{-20, 0, -10, 10});
        EXPECT_TRUE(PixelsAre(untouched, [](int, int) { return Background; }));
    }
}

TEST(RasterDesignRect, EmptyPictureDrawsNothing) {
    for (TStretchDrawMode mode : {sdmDefault, sdmStretch, sdmFill, sdmFrame}) {
        for (int margins : {0, 2}) {
            SCOPED_TRACE(std::string(ModeName(mode)) + " margins " + std::to_string(margins));
            TArgbSurface canvas(4, 4, Background);
            Margins(margins, mode).Draw(TArgbSurface(), canvas, canvas.Bounds());
            Margins(margins, mode).Draw(TArgbSurface(0, 3), canvas, canvas.Bounds());
            EXPECT_TRUE(PixelsAre(canvas, [](int, int) { return Background; }));
        }
    }
}

}  // namespace
