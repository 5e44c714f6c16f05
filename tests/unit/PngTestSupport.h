#pragma once
// PNG test helpers: files built chunk by chunk (CRCs and zlib data made with zlib,
// not with the codec under test), and libpng as the oracle that reads and writes
// PNG files for comparison.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

inline TBytes BytesOf(std::string_view s) { return TBytes(s.begin(), s.end()); }

inline void PutU32(TBytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// One chunk: length, type, data and its CRC.
inline TBytes Chunk(std::string_view type, const TBytes& data) {
    TBytes out;
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    PutU32(out, static_cast<std::uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(out.size() - 4))));
    return out;
}

inline TBytes Ihdr(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t colorType,
                   std::uint8_t interlace = 0) {
    TBytes d;
    PutU32(d, width);
    PutU32(d, height);
    d.insert(d.end(), {depth, colorType, 0, 0, interlace});
    return Chunk("IHDR", d);
}

inline TBytes ZlibCompress(const TBytes& raw, int level = Z_DEFAULT_COMPRESSION) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    TBytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level);
    out.resize(size);
    return out;
}

// IDAT holding `raw` (rows with their filter bytes), deflated.
inline TBytes Idat(const TBytes& raw) { return Chunk("IDAT", ZlibCompress(raw)); }
inline TBytes Iend() { return Chunk("IEND", {}); }

// The signature followed by the given chunks (or any other bytes).
inline TBytes PngFile(std::initializer_list<TBytes> parts) {
    TBytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const TBytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline TBytes Concat(std::initializer_list<TBytes> parts) {
    TBytes out;
    for (const TBytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// --- libpng as the oracle -------------------------------------------------------

struct TLibpngImage {
    std::string Error;  // empty when libpng read the file
    std::uint32_t Width = 0, Height = 0;
    std::vector<std::uint16_t> Rgba;  // 4 values a pixel, 8-bit or 16-bit as asked
};

namespace libpng_oracle {

struct TState {
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0, Pos = 0;
    TBytes* Out = nullptr;
    std::string Error;
};

inline void OnError(png_structp png, png_const_charp message) {
    static_cast<TState*>(png_get_error_ptr(png))->Error = message ? message : "libpng error";
    png_longjmp(png, 1);
}
inline void OnWarning(png_structp, png_const_charp) {}
inline void OnRead(png_structp png, png_bytep out, png_size_t n) {
    auto* s = static_cast<TState*>(png_get_io_ptr(png));
    if (s->Size - s->Pos < n) png_error(png, "read past the end of the file");
    std::memcpy(out, s->Data + s->Pos, n);
    s->Pos += n;
}
inline void OnWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* s = static_cast<TState*>(png_get_io_ptr(png));
    s->Out->insert(s->Out->end(), data, data + n);
}
inline void OnFlush(png_structp) {}

}  // namespace libpng_oracle

// Reads a PNG file with libpng's classic interface and its own transforms to
// straight RGBA: 8-bit (16-bit samples keep their high byte: png_set_strip_16) or
// 16-bit (png_set_expand_16); no gamma handling. Reads through IEND, so damage after
// the image data counts as for our decoder.
inline TLibpngImage LibpngRead(std::span<const std::uint8_t> bytes, bool wide) {
    using namespace libpng_oracle;
    TLibpngImage result;
    TState state;
    state.Data = bytes.data();
    state.Size = bytes.size();
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    TBytes buffer;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        result.Error = state.Error.empty() ? "libpng error" : state.Error;
        return result;
    }
    png_set_read_fn(png, &state, OnRead);
    png_read_info(png, info);
    png_set_expand(png);
    if (wide)
        png_set_expand_16(png);
    else
        png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, wide ? 0xFFFF : 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != std::size_t{width} * (wide ? 8 : 4)) png_error(png, "unexpected output row size");
    buffer.resize(rowBytes * height);
    rows.resize(height);
    for (std::uint32_t y = 0; y < height; ++y) rows[y] = buffer.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    result.Width = width;
    result.Height = height;
    result.Rgba.resize(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < result.Rgba.size(); ++i)
        result.Rgba[i] = wide ? static_cast<std::uint16_t>((buffer[2 * i] << 8) | buffer[2 * i + 1]) : buffer[i];
    return result;
}

// What libpng is given to write: packed rows as the PNG format stores them.
struct TLibpngWrite {
    std::uint32_t Width = 1, Height = 1;
    int ColorType = PNG_COLOR_TYPE_RGB_ALPHA, BitDepth = 8;
    bool Interlaced = false;
    std::vector<TBytes> Rows;
    std::vector<png_color> Palette;
    TBytes PaletteAlpha;          // tRNS of palette images
    const png_color_16* TransparentColor = nullptr;  // tRNS of grey and RGB images
    std::vector<std::pair<std::string, std::string>> Texts;  // tEXt
};

// libpng's default writing: its own filter choice and compression.
inline TBytes LibpngWrite(const TLibpngWrite& w) {
    using namespace libpng_oracle;
    TBytes out;
    TState state;
    state.Out = &out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    std::vector<png_text> texts;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng cannot write the picture: " << state.Error;
        return {};
    }
    png_set_write_fn(png, &state, OnWrite, OnFlush);
    png_set_IHDR(png, info, w.Width, w.Height, w.BitDepth, w.ColorType,
                 w.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!w.Palette.empty()) png_set_PLTE(png, info, w.Palette.data(), static_cast<int>(w.Palette.size()));
    if (!w.PaletteAlpha.empty() || w.TransparentColor) {
        png_set_tRNS(png, info, w.PaletteAlpha.empty() ? nullptr : w.PaletteAlpha.data(),
                     static_cast<int>(w.PaletteAlpha.size()), w.TransparentColor);
    }
    for (const auto& [key, text] : w.Texts) {
        png_text t{};
        t.compression = PNG_TEXT_COMPRESSION_NONE;
        t.key = const_cast<char*>(key.c_str());
        t.text = const_cast<char*>(text.c_str());
        texts.push_back(t);
    }
    if (!texts.empty()) png_set_text(png, info, texts.data(), static_cast<int>(texts.size()));
    for (const TBytes& row : w.Rows) rows.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
