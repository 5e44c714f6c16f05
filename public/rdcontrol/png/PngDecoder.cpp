#include "public/rdcontrol/png/PngDecoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <utility>

#include <zlib.h>

#include "public/rdcontrol/png/PngChunks.h"

namespace png {
namespace {

// zTXt and iTXt texts are inflated; these bound what a small file can make us
// allocate for them. Longer texts are skipped with a warning.
constexpr std::size_t kMaxTextBytes = std::size_t{1} << 20;     // one text
constexpr std::size_t kMaxAllTextBytes = std::size_t{8} << 20;  // all of one file

// Deflate's best case is a 258-byte match coded in 2 bits: no zlib stream inflates
// to more than 1032 times its size. An image that needs more than that cannot be in
// the file, whatever the data says; refusing it before allocating keeps a small
// file from claiming a large buffer.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

int ChannelCount(TPngColorType type) {
    switch (type) {
    case TPngColorType::Rgb: return 3;
    case TPngColorType::GrayAlpha: return 2;
    case TPngColorType::Rgba: return 4;
    case TPngColorType::Gray:
    case TPngColorType::Palette: break;
    }
    return 1;
}

bool AllowedBitDepth(std::uint8_t type, std::uint8_t depth) {
    switch (type) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

// A sample of `depth` bits on the 16-bit scale.
std::uint16_t Scale16(std::uint16_t value, int depth) {
    if (depth == 16) return value;
    return static_cast<std::uint16_t>(value * (65535u / ((1u << depth) - 1)));
}

struct TPass {
    std::uint32_t X0, Y0, DX, DY;
};
constexpr TPass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                             {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr TPass kWholeImage[1] = {{0, 0, 1, 1}};

std::uint32_t PassExtent(std::uint32_t size, std::uint32_t start, std::uint32_t step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

// One pass (the whole image when not interlaced) in the inflated data.
struct TPassLayout {
    TPass Pass;
    std::uint32_t Width = 0, Height = 0;
    std::size_t RowBytes = 0;  // without the filter byte
    std::size_t Offset = 0;
};

std::uint8_t PaethPredictor(int a, int b, int c) {
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Reverses one row's filter. `out` is `in` or lies before it (rows are compacted
// in place, dropping their filter bytes), so every byte is read before anything at
// or after its position is written. `prior` is the previous unfiltered row of the
// same pass, zeros for the first.
template <std::size_t Bpp>
void UnfilterRowFor(std::uint8_t type, const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* prior,
                    std::size_t n) {
    const std::size_t head = std::min(Bpp, n);
    switch (type) {
    case 0:
        if (out != in) std::memmove(out, in, n);
        break;
    case 1:
        for (std::size_t i = 0; i < head; ++i) out[i] = in[i];
        for (std::size_t i = Bpp; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + out[i - Bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + prior[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < head; ++i) out[i] = static_cast<std::uint8_t>(in[i] + (prior[i] >> 1));
        for (std::size_t i = Bpp; i < n; ++i)
            out[i] = static_cast<std::uint8_t>(in[i] + ((out[i - Bpp] + prior[i]) >> 1));
        break;
    case 4:
        // With no pixel to the left the predictor is the byte above.
        for (std::size_t i = 0; i < head; ++i) out[i] = static_cast<std::uint8_t>(in[i] + prior[i]);
        for (std::size_t i = Bpp; i < n; ++i)
            out[i] = static_cast<std::uint8_t>(in[i] + PaethPredictor(out[i - Bpp], prior[i], prior[i - Bpp]));
        break;
    default: throw EPngError(kErrFilter);
    }
}

void UnfilterRow(std::size_t bpp, std::uint8_t type, const std::uint8_t* in, std::uint8_t* out,
                 const std::uint8_t* prior, std::size_t n) {
    switch (bpp) {
    case 1: return UnfilterRowFor<1>(type, in, out, prior, n);
    case 2: return UnfilterRowFor<2>(type, in, out, prior, n);
    case 3: return UnfilterRowFor<3>(type, in, out, prior, n);
    case 4: return UnfilterRowFor<4>(type, in, out, prior, n);
    case 6: return UnfilterRowFor<6>(type, in, out, prior, n);
    default: return UnfilterRowFor<8>(type, in, out, prior, n);
    }
}

// Samples of 1, 2 or 4 bits, packed from the high bits down, one to a byte.
void UnpackRow(const std::uint8_t* row, std::uint8_t* out, std::uint32_t count, int depth) {
    const unsigned mask = (1u << depth) - 1;
    const unsigned perByte = 8u / static_cast<unsigned>(depth);
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned shift = 8u - static_cast<unsigned>(depth) * (i % perByte + 1);
        out[i] = static_cast<std::uint8_t>((row[i / perByte] >> shift) & mask);
    }
}

struct TInflateEnd {
    z_stream* Stream;
    ~TInflateEnd() { inflateEnd(Stream); }
};

class TDecoder {
public:
    TDecoder(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) : FBytes(bytes), FMaxPixels(maxPixels) {}

    TDecoded Run() {
        if (FBytes.size() < sizeof kSignature || !std::equal(kSignature, kSignature + 8, FBytes.begin()))
            throw EPngError(kErrSignature);
        TChunkReader reader(FBytes.subspan(sizeof kSignature));
        std::optional<TChunk> chunk = reader.Next();
        if (!chunk) throw EPngError(kErrEnd);
        ReadHeader(*chunk);
        for (;;) {
            chunk = reader.Next();
            if (!chunk) throw EPngError(kErrEnd);  // no IEND
            if (chunk->Is("IEND")) {
                if (!chunk->CrcOk) throw EPngError(CrcError("IEND"));
                break;
            }
            ReadChunk(*chunk);
        }
        if (!FSawImageData) throw EPngError(kErrNoImageData);
        DecodeImageData();
        return std::move(FOut);
    }

private:
    TPngRaster& Raster() { return FOut.Raster; }
    TPngMetadata& Meta() { return FOut.Metadata; }

    void Skip(const TChunk& chunk, const char* reason) {
        FOut.Warnings.push_back(std::string("Skipped ") + chunk.Type + " chunk (" + reason + ")");
    }

    void ReadHeader(const TChunk& chunk) {
        if (!chunk.Is("IHDR")) throw EPngError(kErrHeader);
        if (!chunk.CrcOk) throw EPngError(CrcError("IHDR"));
        if (chunk.Data.size() != 13) throw EPngError(kErrHeader);
        const std::uint8_t* d = chunk.Data.data();
        const std::uint32_t width = ReadU32(d), height = ReadU32(d + 4);
        const std::uint8_t depth = d[8], type = d[9];
        if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength ||
            !AllowedBitDepth(type, depth) || d[10] != 0 || d[11] != 0 || d[12] > 1)
            throw EPngError(kErrHeader);
        if (std::uint64_t{width} * height > FMaxPixels) throw EPngError(kErrTooLarge);
        TPngRaster& r = Raster();
        r.Width = width;
        r.Height = height;
        r.BitDepth = depth;
        r.ColorType = static_cast<TPngColorType>(type);
        r.Interlaced = d[12] == 1;
        FChannels = ChannelCount(r.ColorType);
    }

    void ReadChunk(const TChunk& chunk) {
        if (chunk.Critical() && !chunk.CrcOk) throw EPngError(CrcError(chunk.Type));
        if (chunk.Is("IDAT")) return ReadImageData(chunk);
        if (FSawImageData) FImageDataEnded = true;
        if (chunk.Is("IHDR")) throw EPngError(kErrChunkOrder);
        if (chunk.Is("PLTE")) return ReadPalette(chunk);
        if (chunk.Critical()) throw EPngError(UnknownCriticalChunk(chunk.Type));
        if (!chunk.CrcOk) return Skip(chunk, "CRC error");
        if (chunk.Is("tRNS")) return ReadTransparency(chunk);
        if (chunk.Is("gAMA")) return ReadGamma(chunk);
        if (chunk.Is("cHRM")) return ReadChromaticities(chunk);
        if (chunk.Is("sRGB")) return ReadSrgb(chunk);
        if (chunk.Is("pHYs")) return ReadPhysicalDimensions(chunk);
        if (chunk.Is("bKGD")) return ReadBackground(chunk);
        if (chunk.Is("tIME")) return ReadTime(chunk);
        if (chunk.Is("tEXt")) return ReadText(chunk);
        if (chunk.Is("zTXt")) return ReadCompressedText(chunk);
        if (chunk.Is("iTXt")) return ReadInternationalText(chunk);
        // Any other ancillary chunk (iCCP, sBIT, eXIf, private ones) carries nothing
        // the library uses.
    }

    void ReadImageData(const TChunk& chunk) {
        if (Raster().ColorType == TPngColorType::Palette && FPaletteSize == 0) throw EPngError(kErrPalette);
        if (FImageDataEnded) throw EPngError(kErrChunkOrder);  // IDAT chunks must be consecutive
        FSawImageData = true;
        if (chunk.Data.empty()) return;
        FImageData.push_back(chunk.Data);
        FImageDataBytes += chunk.Data.size();
    }

    void ReadPalette(const TChunk& chunk) {
        TPngRaster& r = Raster();
        if (r.ColorType == TPngColorType::Gray || r.ColorType == TPngColorType::GrayAlpha || FSawPalette)
            throw EPngError(kErrPalette);
        if (FSawImageData) throw EPngError(kErrChunkOrder);
        FSawPalette = true;
        const std::size_t n = chunk.Data.size();
        const bool valid = n > 0 && n % 3 == 0 && n <= 3 * 256;
        if (r.ColorType != TPngColorType::Palette) {
            // A suggested palette for displays with few colours: nothing to keep.
            if (!valid) Skip(chunk, "invalid length");
            return;
        }
        if (!valid) throw EPngError(kErrPalette);
        FPaletteSize = n / 3;
        r.Palette.assign(4 * 256, 0);
        for (std::size_t i = 0; i < 256; ++i) r.Palette[4 * i + 3] = 255;
        for (std::size_t i = 0; i < FPaletteSize; ++i)
            std::memcpy(&r.Palette[4 * i], chunk.Data.data() + 3 * i, 3);
    }

    // Chunks that describe the pixels must come before them.
    bool CheckBeforeImageData(const TChunk& chunk, bool duplicate) {
        if (FSawImageData) {
            Skip(chunk, "after the image data");
            return false;
        }
        if (duplicate) {
            Skip(chunk, "duplicate");
            return false;
        }
        return true;
    }

    void ReadTransparency(const TChunk& chunk) {
        if (!CheckBeforeImageData(chunk, FSawTransparency)) return;
        TPngRaster& r = Raster();
        const std::size_t n = chunk.Data.size();
        switch (r.ColorType) {
        case TPngColorType::Gray:
        case TPngColorType::Rgb: {
            const std::size_t values = r.ColorType == TPngColorType::Gray ? 1 : 3;
            if (n != 2 * values) return Skip(chunk, "invalid length");
            for (std::size_t i = 0; i < values; ++i) r.TransparentKey[i] = ReadU16(chunk.Data.data() + 2 * i);
            r.HasTransparentKey = true;
            break;
        }
        case TPngColorType::Palette:
            if (FPaletteSize == 0) return Skip(chunk, "before PLTE");
            if (n == 0 || n > FPaletteSize) return Skip(chunk, "more entries than the palette");
            for (std::size_t i = 0; i < n; ++i) r.Palette[4 * i + 3] = chunk.Data[i];
            break;
        case TPngColorType::GrayAlpha:
        case TPngColorType::Rgba: return Skip(chunk, "image has an alpha channel");
        }
        FSawTransparency = true;
    }

    void ReadGamma(const TChunk& chunk) {
        if (!CheckBeforeImageData(chunk, Meta().Gamma.has_value())) return;
        if (chunk.Data.size() != 4) return Skip(chunk, "invalid length");
        const std::uint32_t gamma = ReadU32(chunk.Data.data());
        if (gamma == 0 || gamma > kMaxChunkLength) return Skip(chunk, "invalid value");
        Meta().Gamma = gamma;
    }

    void ReadChromaticities(const TChunk& chunk) {
        if (!CheckBeforeImageData(chunk, Meta().Chromaticities.has_value())) return;
        if (chunk.Data.size() != 32) return Skip(chunk, "invalid length");
        std::uint32_t v[8];
        for (int i = 0; i < 8; ++i) {
            v[i] = ReadU32(chunk.Data.data() + 4 * i);
            if (v[i] > kMaxChunkLength) return Skip(chunk, "invalid value");
        }
        Meta().Chromaticities = TPngChromaticities{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
    }

    void ReadSrgb(const TChunk& chunk) {
        if (!CheckBeforeImageData(chunk, Meta().SrgbIntent.has_value())) return;
        if (chunk.Data.size() != 1) return Skip(chunk, "invalid length");
        if (chunk.Data[0] > 3) return Skip(chunk, "invalid value");
        Meta().SrgbIntent = chunk.Data[0];
    }

    void ReadPhysicalDimensions(const TChunk& chunk) {
        if (!CheckBeforeImageData(chunk, Meta().PhysicalDimensions.has_value())) return;
        if (chunk.Data.size() != 9) return Skip(chunk, "invalid length");
        const std::uint32_t x = ReadU32(chunk.Data.data()), y = ReadU32(chunk.Data.data() + 4);
        if (x > kMaxChunkLength || y > kMaxChunkLength || chunk.Data[8] > 1) return Skip(chunk, "invalid value");
        Meta().PhysicalDimensions = TPngPhysicalDimensions{x, y, chunk.Data[8]};
    }

    void ReadBackground(const TChunk& chunk) {
        if (!CheckBeforeImageData(chunk, Meta().Background.has_value())) return;
        const TPngRaster& r = Raster();
        const std::size_t n = chunk.Data.size();
        const std::uint8_t* d = chunk.Data.data();
        const unsigned max = r.BitDepth == 16 ? 65535u : (1u << r.BitDepth) - 1;
        TPngBackground bg;
        switch (r.ColorType) {
        case TPngColorType::Palette: {
            if (FPaletteSize == 0) return Skip(chunk, "before PLTE");
            if (n != 1) return Skip(chunk, "invalid length");
            if (d[0] >= FPaletteSize) return Skip(chunk, "invalid value");
            const std::uint8_t* entry = &r.Palette[4 * d[0]];
            bg = {Scale16(entry[0], 8), Scale16(entry[1], 8), Scale16(entry[2], 8)};
            break;
        }
        case TPngColorType::Gray:
        case TPngColorType::GrayAlpha: {
            if (n != 2) return Skip(chunk, "invalid length");
            const std::uint16_t gray = ReadU16(d);
            if (gray > max) return Skip(chunk, "invalid value");
            const std::uint16_t v = Scale16(gray, r.BitDepth);
            bg = {v, v, v};
            break;
        }
        case TPngColorType::Rgb:
        case TPngColorType::Rgba: {
            if (n != 6) return Skip(chunk, "invalid length");
            const std::uint16_t red = ReadU16(d), green = ReadU16(d + 2), blue = ReadU16(d + 4);
            if (red > max || green > max || blue > max) return Skip(chunk, "invalid value");
            bg = {Scale16(red, r.BitDepth), Scale16(green, r.BitDepth), Scale16(blue, r.BitDepth)};
            break;
        }
        }
        Meta().Background = bg;
    }

    void ReadTime(const TChunk& chunk) {
        if (Meta().ModificationTime) return Skip(chunk, "duplicate");
        if (chunk.Data.size() != 7) return Skip(chunk, "invalid length");
        const std::uint8_t* d = chunk.Data.data();
        const TPngTime t{ReadU16(d), d[2], d[3], d[4], d[5], d[6]};
        if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Hour > 23 || t.Minute > 59 ||
            t.Second > 60)
            return Skip(chunk, "invalid value");
        Meta().ModificationTime = t;
    }

    // "keyword NUL rest": the keyword as UTF-8 and the rest; nullopt when the keyword
    // is missing or not a valid one.
    static std::optional<std::pair<std::string, std::span<const std::uint8_t>>> SplitKeyword(
        std::span<const std::uint8_t> data) {
        const auto nul = std::find(data.begin(), data.end(), std::uint8_t{0});
        if (nul == data.end()) return std::nullopt;
        const auto keyword = data.first(static_cast<std::size_t>(nul - data.begin()));
        if (!IsValidKeyword(keyword)) return std::nullopt;
        return std::make_pair(Latin1ToUtf8(keyword), data.subspan(keyword.size() + 1));
    }

    static bool HasNul(std::span<const std::uint8_t> bytes) {
        return std::find(bytes.begin(), bytes.end(), std::uint8_t{0}) != bytes.end();
    }

    // Inflates a text within the per-text and per-file budgets.
    std::optional<std::vector<std::uint8_t>> InflateText(std::span<const std::uint8_t> data) {
        auto text = InflateBounded(data, std::min(kMaxTextBytes, FTextBudget));
        if (text) FTextBudget -= text->size();
        return text;
    }

    void ReadText(const TChunk& chunk) {
        auto split = SplitKeyword(chunk.Data);
        if (!split) return Skip(chunk, "invalid keyword");
        if (HasNul(split->second)) return Skip(chunk, "invalid text");
        Meta().Texts.emplace_back(std::move(split->first), Latin1ToUtf8(split->second), TPngTextKind::Text);
    }

    void ReadCompressedText(const TChunk& chunk) {
        auto split = SplitKeyword(chunk.Data);
        if (!split) return Skip(chunk, "invalid keyword");
        if (split->second.empty() || split->second[0] != 0) return Skip(chunk, "unknown compression method");
        const auto text = InflateText(split->second.subspan(1));
        if (!text) return Skip(chunk, "corrupt or too long text");
        if (HasNul(*text)) return Skip(chunk, "invalid text");
        Meta().Texts.emplace_back(std::move(split->first), Latin1ToUtf8(*text), TPngTextKind::CompressedText);
    }

    void ReadInternationalText(const TChunk& chunk) {
        auto split = SplitKeyword(chunk.Data);
        if (!split) return Skip(chunk, "invalid keyword");
        std::span<const std::uint8_t> rest = split->second;
        if (rest.size() < 2 || rest[0] > 1 || rest[1] != 0) return Skip(chunk, "unknown compression method");
        const bool compressed = rest[0] == 1;
        rest = rest.subspan(2);
        std::string fields[2];  // language tag, translated keyword
        for (std::string& field : fields) {
            const auto nul = std::find(rest.begin(), rest.end(), std::uint8_t{0});
            if (nul == rest.end()) return Skip(chunk, "truncated");
            const std::size_t length = static_cast<std::size_t>(nul - rest.begin());
            field.assign(reinterpret_cast<const char*>(rest.data()), length);
            rest = rest.subspan(length + 1);
        }
        std::string text;
        if (compressed) {
            const auto inflated = InflateText(rest);
            if (!inflated) return Skip(chunk, "corrupt or too long text");
            text.assign(inflated->begin(), inflated->end());
        } else {
            text.assign(rest.begin(), rest.end());
        }
        if (!IsValidUtf8(fields[0]) || !IsValidUtf8(fields[1]) || !IsValidUtf8(text) ||
            text.find('\0') != std::string::npos)
            return Skip(chunk, "invalid text");
        TPngText& added =
            Meta().Texts.emplace_back(std::move(split->first), std::move(text), TPngTextKind::InternationalText);
        added.Compressed = compressed;
        added.LanguageTag = std::move(fields[0]);
        added.TranslatedKeyword = std::move(fields[1]);
    }

    void DecodeImageData() {
        TPngRaster& r = Raster();
        const std::uint64_t bitsPerPixel = static_cast<std::uint64_t>(FChannels) * r.BitDepth;
        const auto passes = r.Interlaced ? std::span<const TPass>(kAdam7) : std::span<const TPass>(kWholeImage);
        std::vector<TPassLayout> layouts;
        std::uint64_t total = 0, widestRow = 0;
        for (const TPass& pass : passes) {
            TPassLayout l{pass};
            l.Width = PassExtent(r.Width, pass.X0, pass.DX);
            l.Height = PassExtent(r.Height, pass.Y0, pass.DY);
            if (l.Width == 0 || l.Height == 0) continue;  // an empty pass has no bytes at all
            const std::uint64_t rowBytes = (l.Width * bitsPerPixel + 7) / 8;
            l.RowBytes = static_cast<std::size_t>(rowBytes);
            l.Offset = static_cast<std::size_t>(total);
            total += l.Height * (rowBytes + 1);
            widestRow = std::max(widestRow, rowBytes);
            layouts.push_back(l);
        }
        // Within the default pixel limit every buffer fits even a 32-bit process; a
        // caller's larger limit may not. The largest form a caller can ask for is
        // Rgba16, 8 bytes a pixel.
        const std::uint64_t samplesSize = std::uint64_t{r.Width} * r.Height * SampleBytes();
        constexpr std::uint64_t kMaxBuffer = std::numeric_limits<std::ptrdiff_t>::max();
        if (total > kMaxBuffer || std::uint64_t{r.Width} * r.Height * 8 > kMaxBuffer) throw EPngError(kErrTooLarge);
        if (total > FImageDataBytes * kMaxDeflateRatio) throw EPngError(kErrShortImageData);

        std::vector<std::uint8_t> data(static_cast<std::size_t>(total));
        Inflate(data);

        const std::size_t bpp = std::max<std::size_t>(1, static_cast<std::size_t>(bitsPerPixel / 8));
        const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(widestRow), 0);
        for (const TPassLayout& l : layouts) {
            std::uint8_t* base = data.data() + l.Offset;
            const std::uint8_t* prior = zeros.data();
            for (std::size_t y = 0; y < l.Height; ++y) {
                const std::uint8_t* in = base + y * (l.RowBytes + 1);
                std::uint8_t* out = base + y * l.RowBytes;
                UnfilterRow(bpp, in[0], in + 1, out, prior, l.RowBytes);
                prior = out;
            }
        }

        if (!r.Interlaced && r.BitDepth >= 8) {
            // The compacted rows are the samples.
            data.resize(static_cast<std::size_t>(samplesSize));
            r.Samples = std::move(data);
            return;
        }
        r.Samples.assign(static_cast<std::size_t>(samplesSize), 0);
        const std::size_t pixelBytes = SampleBytes();
        std::vector<std::uint8_t> unpacked(r.BitDepth < 8 ? r.Width : 0);
        for (const TPassLayout& l : layouts) {
            const TPass& p = l.Pass;
            for (std::size_t y = 0; y < l.Height; ++y) {
                const std::uint8_t* row = data.data() + l.Offset + y * l.RowBytes;
                if (r.BitDepth < 8) {
                    UnpackRow(row, unpacked.data(), l.Width, r.BitDepth);
                    row = unpacked.data();
                }
                std::uint8_t* dest = r.Samples.data() + ((p.Y0 + y * p.DY) * r.Width + p.X0) * pixelBytes;
                if (p.DX == 1) {
                    std::memcpy(dest, row, l.Width * pixelBytes);
                    continue;
                }
                for (std::size_t x = 0; x < l.Width; ++x)
                    std::memcpy(dest + x * p.DX * pixelBytes, row + x * pixelBytes, pixelBytes);
            }
        }
    }

    std::size_t SampleBytes() const {
        return static_cast<std::size_t>(FChannels) * (FOut.Raster.BitDepth == 16 ? 2 : 1);
    }

    // Inflates the concatenated IDAT data into exactly `out`. The stream must end
    // where the image ends: missing rows, a missing end of stream and any data after
    // the image are errors.
    void Inflate(std::vector<std::uint8_t>& out) {
        z_stream zs{};
        if (inflateInit(&zs) != Z_OK) throw std::bad_alloc();
        TInflateEnd end{&zs};
        std::size_t produced = 0;
        bool ended = false;
        std::uint8_t spill[64];
        for (const auto& part : FImageData) {
            if (ended) throw EPngError(produced < out.size() ? kErrShortImageData : kErrLongImageData);
            zs.next_in = const_cast<Bytef*>(part.data());
            zs.avail_in = static_cast<uInt>(part.size());  // a chunk is below 2^31 bytes
            while (zs.avail_in > 0 && !ended) {
                const bool full = produced == out.size();
                if (full) {
                    zs.next_out = spill;
                    zs.avail_out = sizeof spill;
                } else {
                    zs.next_out = out.data() + produced;
                    zs.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, 1u << 30));
                }
                const uInt room = zs.avail_out;
                const int rc = inflate(&zs, Z_NO_FLUSH);
                const std::size_t made = room - zs.avail_out;
                if (full && made > 0) throw EPngError(kErrLongImageData);
                produced += made;
                if (rc == Z_STREAM_END) {
                    ended = true;
                } else if (rc == Z_MEM_ERROR) {
                    throw std::bad_alloc();
                } else if (rc == Z_NEED_DICT) {
                    throw EPngError(ZlibError("preset dictionary"));
                } else if (rc != Z_OK) {
                    throw EPngError(ZlibError(zs.msg));
                }
            }
            if (ended && zs.avail_in > 0)
                throw EPngError(produced < out.size() ? kErrShortImageData : kErrLongImageData);
        }
        if (produced < out.size() || !ended) throw EPngError(kErrShortImageData);
    }

    std::span<const std::uint8_t> FBytes;
    std::uint64_t FMaxPixels;
    TDecoded FOut;
    int FChannels = 1;
    std::size_t FPaletteSize = 0;
    bool FSawPalette = false;
    bool FSawTransparency = false;
    bool FSawImageData = false;
    bool FImageDataEnded = false;
    std::vector<std::span<const std::uint8_t>> FImageData;
    std::uint64_t FImageDataBytes = 0;
    std::size_t FTextBudget = kMaxAllTextBytes;
};

}  // namespace

TDecoded Decode(std::span<const std::uint8_t> bytes, std::uint64_t maxPixels) {
    return TDecoder(bytes, maxPixels).Run();
}

}  // namespace png
