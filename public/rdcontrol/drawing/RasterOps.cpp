#include "public/rdcontrol/drawing/RasterOps.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// Cuts sourceRect to source; the destination origin moves with the cut-off part.
// False when nothing is left.
bool ClipSource(const TArgbSurface& source, const TRect& sourceRect, TRect& clipped, int& x, int& y) {
    clipped = sourceRect.Intersect(source.Bounds());
    if (clipped.IsEmpty()) return false;
    x += clipped.Left - sourceRect.Left;
    y += clipped.Top - sourceRect.Top;
    return true;
}

// Filter weights of one axis, in 1/4096ths: per-axis precision that keeps area
// averages of large shrinks accurate while the 2-D product (2^24) times a channel
// still fits 64-bit sums with room to spare.
constexpr int WeightBits = 12;
constexpr std::uint32_t WeightOne = 1u << WeightBits;

struct TTap {
    int Index;  // source pixel, relative to the source rectangle
    std::uint32_t Weight;
};

// For destination pixels first..last-1 (relative to the destination rectangle of
// length destLength), the source pixels and weights; taps of pixel i are
// taps[starts[i - first]] .. taps[starts[i - first + 1]].
struct TAxisTaps {
    std::vector<TTap> Taps;
    std::vector<std::size_t> Starts;
};

TAxisTaps BuildTaps(int sourceLength, int destLength, int first, int last, TPixelStretchFilter filter) {
    TAxisTaps axis;
    axis.Starts.reserve(static_cast<std::size_t>(last - first) + 1);
    const std::int64_t s = sourceLength, d = destLength;
    const bool area = filter == psfSmooth && destLength < sourceLength;
    for (int i = first; i < last; ++i) {
        axis.Starts.push_back(axis.Taps.size());
        if (filter == psfDefault) {
            // The source pixel under the destination pixel's centre.
            axis.Taps.push_back({static_cast<int>((2 * i + 1) * s / (2 * d)), WeightOne});
        } else if (area) {
            // Destination pixel i covers source [i*s/d, (i+1)*s/d); in units of 1/d
            // source pixel that is [i*s, (i+1)*s), s units long. Weights are cumulative
            // coverage rounded, so each pixel's weights sum to exactly WeightOne.
            const std::int64_t begin = i * s, end = (i + 1) * s;
            std::int64_t covered = 0;
            std::uint32_t given = 0;
            for (std::int64_t p = begin / d; p * d < end; ++p) {
                covered += std::min((p + 1) * d, end) - std::max(p * d, begin);
                const auto upTo = static_cast<std::uint32_t>((covered * WeightOne + s / 2) / s);
                if (upTo > given) axis.Taps.push_back({static_cast<int>(p), upTo - given});
                given = upTo;
            }
        } else {
            // Bilinear, pixel centres aligned: source position (i + 0.5) * s/d - 0.5,
            // in 16.16 fixed point, held inside the rectangle at both ends.
            std::int64_t position = (2 * i + 1) * s * 65536 / (2 * d) - 32768;
            position = std::max<std::int64_t>(position, 0);
            int index = static_cast<int>(position >> 16);
            auto fraction = static_cast<std::uint32_t>((position >> (16 - WeightBits)) & (WeightOne - 1));
            if (index >= sourceLength - 1) {
                index = sourceLength - 1;
                fraction = 0;
            }
            axis.Taps.push_back({index, WeightOne - fraction});
            if (fraction != 0) axis.Taps.push_back({index + 1, fraction});
        }
    }
    axis.Starts.push_back(axis.Taps.size());
    return axis;
}

}  // namespace

std::uint32_t BlendPixel(std::uint32_t dest, std::uint32_t source, std::uint8_t alpha) {
    if (alpha == 0) return dest;
    if (alpha != 255) source = ScalePixel(source, alpha);
    const std::uint32_t sourceAlpha = source >> 24;
    if (sourceAlpha == 255) return source;
    if (source == 0) return dest;
    const std::uint32_t inverse = 255 - sourceAlpha;
    std::uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t channel = ((source >> shift) & 0xFF) + Div255(((dest >> shift) & 0xFF) * inverse);
        result |= std::min<std::uint32_t>(channel, 255) << shift;
    }
    return result;
}

void BlendSurface(TArgbSurface& dest, int x, int y, const TArgbSurface& source, const TRect& sourceRect,
                  std::uint8_t alpha) {
    TRect from;
    if (alpha == 0 || !ClipSource(source, sourceRect, from, x, y)) return;
    const TRect to = TRect::FromSize(x, y, from.Width(), from.Height()).Intersect(dest.Bounds());
    if (to.IsEmpty()) return;
    const int dx = from.Left - x, dy = from.Top - y;
    for (int row = to.Top; row < to.Bottom; ++row) {
        std::uint32_t* out = dest.Row(row);
        const std::uint32_t* in = source.Row(row + dy);
        for (int column = to.Left; column < to.Right; ++column)
            out[column] = BlendPixel(out[column], in[column + dx], alpha);
    }
}

void BlendSurface(TArgbSurface& dest, int x, int y, const TArgbSurface& source, std::uint8_t alpha) {
    BlendSurface(dest, x, y, source, source.Bounds(), alpha);
}

void StretchBlend(TArgbSurface& dest, const TRect& destRect, const TArgbSurface& source, const TRect& sourceRect,
                  TPixelStretchFilter filter, std::uint8_t alpha) {
    const TRect from = sourceRect.Intersect(source.Bounds());
    if (alpha == 0 || from.IsEmpty() || destRect.IsEmpty()) return;
    if (from.Width() == destRect.Width() && from.Height() == destRect.Height()) {
        BlendSurface(dest, destRect.Left, destRect.Top, source, from, alpha);
        return;
    }
    const TRect to = destRect.Intersect(dest.Bounds());
    if (to.IsEmpty()) return;
    // The tables cover only the visible part, but are computed against the whole
    // destination rectangle, so clipping never changes a pixel.
    const TAxisTaps columns = BuildTaps(from.Width(), destRect.Width(), to.Left - destRect.Left,
                                        to.Right - destRect.Left, filter);
    const TAxisTaps rows = BuildTaps(from.Height(), destRect.Height(), to.Top - destRect.Top,
                                     to.Bottom - destRect.Top, filter);
    constexpr std::uint64_t Half = std::uint64_t{1} << (2 * WeightBits - 1);
    for (int y = to.Top; y < to.Bottom; ++y) {
        const auto ry = static_cast<std::size_t>(y - to.Top);
        std::uint32_t* out = dest.Row(y);
        for (int x = to.Left; x < to.Right; ++x) {
            const auto rx = static_cast<std::size_t>(x - to.Left);
            std::uint64_t sum[4] = {0, 0, 0, 0};
            for (std::size_t ty = rows.Starts[ry]; ty < rows.Starts[ry + 1]; ++ty) {
                const std::uint32_t* in = source.Row(from.Top + rows.Taps[ty].Index) + from.Left;
                for (std::size_t tx = columns.Starts[rx]; tx < columns.Starts[rx + 1]; ++tx) {
                    const std::uint64_t weight = std::uint64_t{rows.Taps[ty].Weight} * columns.Taps[tx].Weight;
                    const std::uint32_t pixel = in[columns.Taps[tx].Index];
                    for (int c = 0; c < 4; ++c) sum[c] += ((pixel >> (8 * c)) & 0xFF) * weight;
                }
            }
            // Rounding each channel the same way keeps colour <= alpha: the sums are
            // weighted means of valid premultiplied pixels.
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= static_cast<std::uint32_t>((sum[c] + Half) >> (2 * WeightBits)) << (8 * c);
            out[x] = BlendPixel(out[x], pixel, alpha);
        }
    }
}

void TileBlend(TArgbSurface& dest, const TRect& destRect, const TArgbSurface& source, const TRect& sourceRect,
               std::uint8_t alpha) {
    const TRect from = sourceRect.Intersect(source.Bounds());
    const TRect to = destRect.Intersect(dest.Bounds());
    if (alpha == 0 || from.IsEmpty() || to.IsEmpty()) return;
    const int width = from.Width(), height = from.Height();
    // The offsets are non-negative: to lies inside destRect.
    const int firstColumn = (to.Left - destRect.Left) % width;
    for (int y = to.Top; y < to.Bottom; ++y) {
        const std::uint32_t* in = source.Row(from.Top + (y - destRect.Top) % height) + from.Left;
        std::uint32_t* out = dest.Row(y);
        int column = firstColumn;
        for (int x = to.Left; x < to.Right; ++x) {
            out[x] = BlendPixel(out[x], in[column], alpha);
            if (++column == width) column = 0;
        }
    }
}

void FillRectBlend(TArgbSurface& dest, const TRect& rect, std::uint32_t color) {
    const TRect to = rect.Intersect(dest.Bounds());
    if (to.IsEmpty() || color == 0) return;
    for (int y = to.Top; y < to.Bottom; ++y) {
        std::uint32_t* out = dest.Row(y);
        for (int x = to.Left; x < to.Right; ++x) out[x] = BlendPixel(out[x], color);
    }
}
