#include "public/rdcontrol/png/PngPixels.h"

#include <algorithm>
#include <cstring>

namespace png {

std::size_t SampleBytesPerPixel(const TPngRaster& raster) {
    std::size_t channels = 1;
    switch (raster.ColorType) {
    case TPngColorType::Rgb: channels = 3; break;
    case TPngColorType::GrayAlpha: channels = 2; break;
    case TPngColorType::Rgba: channels = 4; break;
    case TPngColorType::Gray:
    case TPngColorType::Palette: break;
    }
    return raster.BitDepth == 16 ? 2 * channels : channels;
}

namespace {

const std::uint8_t* RowSamples(const TPngRaster& raster, std::uint32_t y) {
    return raster.Samples.data() + std::size_t{y} * raster.Width * SampleBytesPerPixel(raster);
}

std::uint16_t At16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }

// Writes one row of straight RGBA in either output width. `Wide` is the 16-bit
// scale (values 0..65535), otherwise 8 bits, where 16-bit samples keep their high
// byte and lower depths are scaled up.
template <bool Wide, typename T>
void ConvertRow(const TPngRaster& r, std::uint32_t y, T* out) {
    constexpr unsigned kMax = Wide ? 65535u : 255u;
    const std::uint8_t* s = RowSamples(r, y);
    const std::uint32_t w = r.Width;
    const bool key = r.HasTransparentKey;
    const std::uint16_t* k = r.TransparentKey;
    // A 16-bit sample on the output scale.
    auto wide = [](const std::uint8_t* p) { return static_cast<T>(Wide ? At16(p) : p[0]); };
    auto put = [&out](std::size_t x, unsigned red, unsigned green, unsigned blue, unsigned alpha) {
        out[4 * x] = static_cast<T>(red);
        out[4 * x + 1] = static_cast<T>(green);
        out[4 * x + 2] = static_cast<T>(blue);
        out[4 * x + 3] = static_cast<T>(alpha);
    };
    switch (r.ColorType) {
    case TPngColorType::Gray:
        if (r.BitDepth == 16) {
            for (std::size_t x = 0; x < w; ++x) {
                const unsigned g = wide(s + 2 * x);
                put(x, g, g, g, key && At16(s + 2 * x) == k[0] ? 0 : kMax);
            }
        } else {
            const unsigned scale = kMax / ((1u << r.BitDepth) - 1);
            for (std::size_t x = 0; x < w; ++x) {
                const unsigned g = s[x] * scale;
                put(x, g, g, g, key && s[x] == k[0] ? 0 : kMax);
            }
        }
        break;
    case TPngColorType::Rgb:
        if (r.BitDepth == 16) {
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t* p = s + 6 * x;
                const bool clear = key && At16(p) == k[0] && At16(p + 2) == k[1] && At16(p + 4) == k[2];
                put(x, wide(p), wide(p + 2), wide(p + 4), clear ? 0 : kMax);
            }
        } else {
            constexpr unsigned scale = Wide ? 257 : 1;
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t* p = s + 3 * x;
                const bool clear = key && p[0] == k[0] && p[1] == k[1] && p[2] == k[2];
                put(x, p[0] * scale, p[1] * scale, p[2] * scale, clear ? 0 : kMax);
            }
        }
        break;
    case TPngColorType::Palette: {
        constexpr unsigned scale = Wide ? 257 : 1;
        for (std::size_t x = 0; x < w; ++x) {
            const std::uint8_t* e = &r.Palette[4 * std::size_t{s[x]}];
            put(x, e[0] * scale, e[1] * scale, e[2] * scale, e[3] * scale);
        }
        break;
    }
    case TPngColorType::GrayAlpha:
        if (r.BitDepth == 16) {
            for (std::size_t x = 0; x < w; ++x) {
                const unsigned g = wide(s + 4 * x);
                put(x, g, g, g, wide(s + 4 * x + 2));
            }
        } else {
            constexpr unsigned scale = Wide ? 257 : 1;
            for (std::size_t x = 0; x < w; ++x) {
                const unsigned g = s[2 * x] * scale;
                put(x, g, g, g, s[2 * x + 1] * scale);
            }
        }
        break;
    case TPngColorType::Rgba:
        if (r.BitDepth == 16) {
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t* p = s + 8 * x;
                put(x, wide(p), wide(p + 2), wide(p + 4), wide(p + 6));
            }
        } else if constexpr (Wide) {
            for (std::size_t i = 0; i < 4 * std::size_t{w}; ++i) out[i] = static_cast<T>(s[i] * 257u);
        } else {
            std::memcpy(out, s, 4 * std::size_t{w});
        }
        break;
    }
}

// c * a / 255, rounded, exact for all 8-bit inputs.
std::uint32_t MulDiv255(std::uint32_t c, std::uint32_t a) {
    const std::uint32_t t = c * a + 128;
    return (t + (t >> 8)) >> 8;
}

}  // namespace

void RowToRgba8(const TPngRaster& raster, std::uint32_t y, std::uint8_t* out) {
    ConvertRow<false>(raster, y, out);
}

void RowToRgba16(const TPngRaster& raster, std::uint32_t y, std::uint16_t* out) {
    ConvertRow<true>(raster, y, out);
}

void PremultiplyRow(const std::uint8_t* rgba, std::uint32_t* argb, std::size_t pixels) {
    // No special cases for alpha 0 and 255: the rounding gives 0 and the colour
    // itself there, and a loop without branches is several times faster.
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = rgba + 4 * i;
        const std::uint32_t a = p[3];
        argb[i] = (a << 24) | (MulDiv255(p[0], a) << 16) | (MulDiv255(p[1], a) << 8) | MulDiv255(p[2], a);
    }
}

void UnpremultiplyRow(const std::uint32_t* argb, std::uint8_t* rgba, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, rgba += 4) {
        const std::uint32_t p = argb[i];
        const std::uint32_t a = p >> 24;
        if (a == 0) {
            std::memset(rgba, 0, 4);
            continue;
        }
        // Colour above alpha is not a valid premultiplied value; it saturates.
        auto straight = [a](std::uint32_t c) {
            return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (c * 255 + a / 2) / a));
        };
        rgba[0] = straight((p >> 16) & 0xFF);
        rgba[1] = straight((p >> 8) & 0xFF);
        rgba[2] = straight(p & 0xFF);
        rgba[3] = static_cast<std::uint8_t>(a);
    }
}

}  // namespace png
