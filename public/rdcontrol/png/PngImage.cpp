#include "public/rdcontrol/png/PngImage.h"

#include <algorithm>
#include <fstream>
#include <new>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/png/PngChunks.h"
#include "public/rdcontrol/base/CheckedMath.h"
#include "public/rdcontrol/png/PngDecoder.h"
#include "public/rdcontrol/png/PngEncoder.h"
#include "public/rdcontrol/png/PngPixels.h"

namespace {

std::vector<std::uint32_t> PremultipliedPixels(const TPngRaster& raster) {
    const std::size_t width = raster.Width;
    // The decoder's limits keep width x height x 4 within a 32-bit size_t; a raster
    // that does not fit is refused rather than given a wrapped, short buffer.
    const auto bytes = CheckedSize<std::size_t>({width, raster.Height, 4});
    if (!bytes) throw EPngError(png::kErrTooLarge);
    std::vector<std::uint32_t> pixels(*bytes / 4);
    const bool straightRgba = raster.ColorType == TPngColorType::Rgba && raster.BitDepth == 8;
    std::vector<std::uint8_t> row(straightRgba ? 0 : 4 * width);
    for (std::uint32_t y = 0; y < raster.Height; ++y) {
        const std::uint8_t* rgba = raster.Samples.data() + y * 4 * width;
        if (!straightRgba) {
            png::RowToRgba8(raster, y, row.data());
            rgba = row.data();
        }
        png::PremultiplyRow(rgba, pixels.data() + y * width, width);
    }
    return pixels;
}

std::span<const std::uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TPngRaster RgbaRaster(std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0) throw std::invalid_argument("TPngImage: empty image");
    TPngRaster raster;
    raster.Width = width;
    raster.Height = height;
    raster.BitDepth = 8;
    raster.ColorType = TPngColorType::Rgba;
    const auto bytes = CheckedSize<std::size_t>({width, height, 4});
    if (!bytes) throw std::invalid_argument("TPngImage: image too large");
    raster.Samples.resize(*bytes);
    return raster;
}

void CheckCount(std::uint32_t width, std::uint32_t height, std::size_t values, std::size_t perPixel) {
    if (width == 0 || height == 0 || values != std::uint64_t{width} * height * perPixel)
        throw std::invalid_argument("TPngImage: pixel count does not match the size");
}

}  // namespace

void TPngImage::LoadFromBytes(std::span<const std::uint8_t> bytes) {
    try {
        png::TDecoded decoded = png::Decode(bytes, FMaxPixels);
        std::vector<std::uint32_t> pixels = PremultipliedPixels(decoded.Raster);
        // Nothing below throws: the image changes only when everything worked.
        FRaster = std::move(decoded.Raster);
        FPixels = std::move(pixels);
        FMetadata = std::move(decoded.Metadata);
        FWarnings = std::move(decoded.Warnings);
    } catch (const std::bad_alloc&) {
        throw EPngError(png::kErrOutOfMemory);
    }
}

void TPngImage::LoadFromFile(const std::string& utf8Path) {
    const auto bytes = ReadFileBytes(Utf8Path(utf8Path));
    if (!bytes) throw EPngError("Cannot read file " + utf8Path);
    LoadFromBytes(AsBytes(*bytes));
}

std::string TPngImage::TryLoadFromBytes(std::span<const std::uint8_t> bytes) noexcept {
    try {
        LoadFromBytes(bytes);
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

std::string TPngImage::TryLoadFromFile(const std::string& utf8Path) noexcept {
    try {
        LoadFromFile(utf8Path);
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

std::vector<std::uint8_t> TPngImage::SaveToBytes() const {
    if (Empty()) throw EPngError("No image to save");
    try {
        if (FRaster.ColorType == TPngColorType::Rgba && FRaster.BitDepth == 8)
            return png::Encode(Width(), Height(), FRaster.Samples, FMetadata);
        return png::Encode(Width(), Height(), Rgba8(), FMetadata);
    } catch (const std::bad_alloc&) {
        throw EPngError(png::kErrOutOfMemory);
    }
}

void TPngImage::SaveToFile(const std::string& utf8Path) const {
    const std::vector<std::uint8_t> bytes = SaveToBytes();
    std::ofstream out(Utf8Path(utf8Path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw EPngError("Cannot write file " + utf8Path);
}

void TPngImage::AssignRgba8(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba) {
    CheckCount(width, height, rgba.size(), 4);
    TPngRaster raster = RgbaRaster(width, height);
    std::copy(rgba.begin(), rgba.end(), raster.Samples.begin());
    std::vector<std::uint32_t> pixels = PremultipliedPixels(raster);
    FRaster = std::move(raster);
    FPixels = std::move(pixels);
}

void TPngImage::AssignPremultiplied(std::uint32_t width, std::uint32_t height, std::span<const std::uint32_t> argb) {
    CheckCount(width, height, argb.size(), 1);
    TPngRaster raster = RgbaRaster(width, height);
    png::UnpremultiplyRow(argb.data(), raster.Samples.data(), argb.size());
    std::vector<std::uint32_t> pixels = PremultipliedPixels(raster);
    FRaster = std::move(raster);
    FPixels = std::move(pixels);
}

std::vector<std::uint8_t> TPngImage::Rgba8() const {
    std::vector<std::uint8_t> rgba(std::size_t{Width()} * Height() * 4);
    for (std::uint32_t y = 0; y < Height(); ++y)
        png::RowToRgba8(FRaster, y, rgba.data() + std::size_t{y} * Width() * 4);
    return rgba;
}

std::vector<std::uint16_t> TPngImage::Rgba16() const {
    std::vector<std::uint16_t> rgba(std::size_t{Width()} * Height() * 4);
    for (std::uint32_t y = 0; y < Height(); ++y)
        png::RowToRgba16(FRaster, y, rgba.data() + std::size_t{y} * Width() * 4);
    return rgba;
}

std::string TPngImage::RdText() const {
    for (const TPngText& text : FMetadata.Texts)
        if (text.Keyword == RdTextKeyword) return text.Text;
    return {};
}

void TPngImage::SetRdText(const std::string& text) {
    auto& texts = FMetadata.Texts;
    auto it = std::find_if(texts.begin(), texts.end(), [](const TPngText& t) { return t.Keyword == RdTextKeyword; });
    if (text.empty()) {
        if (it != texts.end()) texts.erase(it);
        return;
    }
    if (it != texts.end()) {
        it->Text = text;
        return;
    }
    // Saving writes iTXt when Latin-1 cannot hold the text.
    texts.emplace_back(RdTextKeyword, text);
}

TPngRgba8 DecodePngToRgba8(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    try {
        png::TDecoded decoded = png::Decode(bytes, maxPixels);
        TPngRaster& raster = decoded.Raster;
        TPngRgba8 result{raster.Width, raster.Height, {}};
        if (raster.ColorType == TPngColorType::Rgba && raster.BitDepth == 8) {
            result.Rgba = std::move(raster.Samples);
        } else {
            result.Rgba.resize(std::size_t{raster.Width} * raster.Height * 4);
            for (std::uint32_t y = 0; y < raster.Height; ++y)
                png::RowToRgba8(raster, y, result.Rgba.data() + std::size_t{y} * raster.Width * 4);
        }
        return result;
    } catch (const std::bad_alloc&) {
        throw EPngError(png::kErrOutOfMemory);
    }
}
