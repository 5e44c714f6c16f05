// PNG decoding of a typical skin picture: 640 x 390 RGBA (a window background: a
// gradient, lines of text-like strokes, rounded corners with a soft shadow in the
// alpha channel), written by libpng with its default filters and compression. Our
// decoder and libpng decode it to the same straight 8-bit RGBA in the same run;
// png_decode_vs_libpng.sh prints the ratio. The full TPngImage load (which also
// premultiplies) is measured for reference.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <benchmark/benchmark.h>
#include <png.h>

#include "public/rdcontrol/png/PngImage.h"

namespace {

constexpr std::uint32_t kWidth = 640, kHeight = 390;

std::vector<std::uint8_t> SkinPicture() {
    std::vector<std::uint8_t> rgba(std::size_t{kWidth} * kHeight * 4);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    const double radius = 10, shadow = 12;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        // A text line every 26 rows, 12 rows high, with strokes in short words.
        const bool textRow = y >= 60 && y < 360 && (y - 60) % 26 < 12;
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            std::uint8_t* p = &rgba[(std::size_t{y} * kWidth + x) * 4];
            p[0] = static_cast<std::uint8_t>(30 + x * 160 / kWidth);
            p[1] = static_cast<std::uint8_t>(50 + y * 140 / kHeight);
            p[2] = static_cast<std::uint8_t>(200 - x * 90 / kWidth);
            if (textRow && x >= 40 && x < 600 && (x / 37) % 5 != 4 && next() % 7 < 2) p[0] = p[1] = p[2] = 250;
            // Distance outside the rounded window rectangle (inset by the shadow).
            const double dx = std::max({shadow + radius - x, 0.0, x - (kWidth - 1 - shadow - radius)});
            const double dy = std::max({shadow + radius - y, 0.0, y - (kHeight - 1 - shadow - radius)});
            const double outside = std::hypot(dx, dy) - radius;
            p[3] = outside <= 0 ? 255 : static_cast<std::uint8_t>(std::max(0.0, 110 * (1 - outside / shadow)));
        }
    }
    return rgba;
}

struct TWriteState {
    std::vector<std::uint8_t>* Out;
};

std::vector<std::uint8_t> LibpngEncode(const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(kHeight);
    if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng cannot write the picture");
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto* o = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (std::uint32_t y = 0; y < kHeight; ++y) rows[y] = const_cast<png_bytep>(&rgba[std::size_t{y} * kWidth * 4]);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

const std::vector<std::uint8_t>& SkinFile() {
    static const std::vector<std::uint8_t> file = LibpngEncode(SkinPicture());
    return file;
}

struct TReadState {
    const std::uint8_t* Data;
    std::size_t Size, Pos;
};

// libpng's classic interface with the transforms that give straight 8-bit RGBA from
// any PNG (no-ops for this picture, as a caller would still set them).
std::vector<std::uint8_t> LibpngDecodeRgba8(const std::vector<std::uint8_t>& file) {
    TReadState state{file.data(), file.size(), 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) throw std::runtime_error("libpng cannot read the picture");
    png_set_read_fn(png, &state, [](png_structp p, png_bytep out, png_size_t n) {
        auto* s = static_cast<TReadState*>(png_get_io_ptr(p));
        if (s->Size - s->Pos < n) png_error(p, "read past the end");
        std::memcpy(out, s->Data + s->Pos, n);
        s->Pos += n;
    });
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    const std::uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    rgba.resize(std::size_t{width} * height * 4);
    rows.resize(height);
    for (std::uint32_t y = 0; y < height; ++y) rows[y] = &rgba[std::size_t{y} * width * 4];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return rgba;
}

void SetCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kWidth * kHeight * 4);
    state.counters["file_bytes"] = static_cast<double>(SkinFile().size());
}

void BM_PngDecodeRgba8_Ours(benchmark::State& state) {
    const auto& file = SkinFile();
    if (DecodePngToRgba8(file).Rgba != LibpngDecodeRgba8(file)) state.SkipWithError("pixels differ from libpng's");
    for (auto _ : state) {
        auto image = DecodePngToRgba8(file);
        benchmark::DoNotOptimize(image.Rgba.data());
    }
    SetCounters(state);
}
BENCHMARK(BM_PngDecodeRgba8_Ours)->Unit(benchmark::kMicrosecond);

void BM_PngDecodeRgba8_Libpng(benchmark::State& state) {
    const auto& file = SkinFile();
    for (auto _ : state) {
        auto rgba = LibpngDecodeRgba8(file);
        benchmark::DoNotOptimize(rgba.data());
    }
    SetCounters(state);
}
BENCHMARK(BM_PngDecodeRgba8_Libpng)->Unit(benchmark::kMicrosecond);

void BM_PngLoadPremultiplied_Ours(benchmark::State& state) {
    const auto& file = SkinFile();
    for (auto _ : state) {
        TPngImage image;
        image.LoadFromBytes(file);
        benchmark::DoNotOptimize(image.Pixels().data());
    }
    SetCounters(state);
}
BENCHMARK(BM_PngLoadPremultiplied_Ours)->Unit(benchmark::kMicrosecond);

}  // namespace
