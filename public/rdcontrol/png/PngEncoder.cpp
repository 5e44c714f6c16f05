#include "public/rdcontrol/png/PngEncoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include <zlib.h>

#include "public/rdcontrol/png/PngChunks.h"

namespace png {
namespace {

// IDAT chunks are cut at this size: large enough that chunk overhead does not
// matter, small enough that the deflated image is never held twice.
constexpr std::size_t kImageDataChunk = 64 * 1024;

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

void AppendBytes(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendTextChunk(std::vector<std::uint8_t>& out, const TPngText& text) {
    const auto keyword = Utf8ToLatin1(text.Keyword);
    if (!keyword || !IsValidKeyword(Bytes(*keyword))) throw EPngError("Invalid text keyword: " + text.Keyword);
    auto noNul = [](const std::string& s) { return IsValidUtf8(s) && s.find('\0') == std::string::npos; };
    if (!noNul(text.Text) || !noNul(text.LanguageTag) || !noNul(text.TranslatedKeyword))
        throw EPngError("Invalid text in chunk " + text.Keyword);

    std::vector<std::uint8_t> data = std::vector<std::uint8_t>(keyword->begin(), keyword->end());
    data.push_back(0);
    const auto latin1 = Utf8ToLatin1(text.Text);
    if (text.Kind == TPngTextKind::Text && latin1) {
        AppendBytes(data, Bytes(*latin1));
        return AppendChunk(out, "tEXt", data);
    }
    if (text.Kind == TPngTextKind::CompressedText && latin1) {
        data.push_back(0);  // deflate
        AppendBytes(data, Deflate(Bytes(*latin1)));
        return AppendChunk(out, "zTXt", data);
    }
    // iTXt, also for Latin-1 kinds whose text Latin-1 cannot hold.
    const bool compressed = text.Kind == TPngTextKind::InternationalText ? text.Compressed
                                                                          : text.Kind == TPngTextKind::CompressedText;
    data.push_back(compressed ? 1 : 0);
    data.push_back(0);  // deflate
    AppendBytes(data, Bytes(text.LanguageTag));
    data.push_back(0);
    AppendBytes(data, Bytes(text.TranslatedKeyword));
    data.push_back(0);
    if (compressed)
        AppendBytes(data, Deflate(Bytes(text.Text)));
    else
        AppendBytes(data, Bytes(text.Text));
    AppendChunk(out, "iTXt", data);
}

void AppendMetadataChunks(std::vector<std::uint8_t>& out, const TPngMetadata& m) {
    std::vector<std::uint8_t> d;
    if (m.Chromaticities) {
        const TPngChromaticities& c = *m.Chromaticities;
        for (std::uint32_t v : {c.WhiteX, c.WhiteY, c.RedX, c.RedY, c.GreenX, c.GreenY, c.BlueX, c.BlueY})
            AppendU32(d, v);
        AppendChunk(out, "cHRM", d);
    }
    if (m.Gamma) {
        d.clear();
        AppendU32(d, *m.Gamma);
        AppendChunk(out, "gAMA", d);
    }
    if (m.SrgbIntent) {
        const std::uint8_t intent = *m.SrgbIntent;
        AppendChunk(out, "sRGB", {&intent, 1});
    }
    if (m.Background) {
        // An 8-bit RGB image stores its background as 8-bit values in 16-bit fields.
        d.clear();
        for (std::uint16_t v : {m.Background->Red, m.Background->Green, m.Background->Blue})
            AppendU16(d, static_cast<std::uint16_t>(v >> 8));
        AppendChunk(out, "bKGD", d);
    }
    if (m.PhysicalDimensions) {
        d.clear();
        AppendU32(d, m.PhysicalDimensions->PixelsPerUnitX);
        AppendU32(d, m.PhysicalDimensions->PixelsPerUnitY);
        d.push_back(m.PhysicalDimensions->Unit);
        AppendChunk(out, "pHYs", d);
    }
    if (m.ModificationTime) {
        const TPngTime& t = *m.ModificationTime;
        d.clear();
        AppendU16(d, t.Year);
        d.insert(d.end(), {t.Month, t.Day, t.Hour, t.Minute, t.Second});
        AppendChunk(out, "tIME", d);
    }
    for (const TPngText& text : m.Texts) AppendTextChunk(out, text);
}

std::uint8_t Paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// Filters a row with each of the five filters and returns the one whose bytes, read
// as signed, have the smallest sum of magnitudes: the usual heuristic, it tends to
// give the deflater the most zeros and small values.
const std::vector<std::uint8_t>& BestFilteredRow(const std::uint8_t* row, const std::uint8_t* prior,
                                                 std::size_t n, std::size_t bpp,
                                                 std::vector<std::uint8_t> (&candidates)[5]) {
    std::size_t best = 0;
    std::uint64_t bestSum = ~std::uint64_t{0};
    for (std::size_t f = 0; f < 5; ++f) {
        std::uint8_t* out = candidates[f].data();
        out[0] = static_cast<std::uint8_t>(f);
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0;
            const int b = prior[i];
            const int c = i >= bpp ? prior[i - bpp] : 0;
            int predicted = 0;
            switch (f) {
            case 1: predicted = a; break;
            case 2: predicted = b; break;
            case 3: predicted = (a + b) >> 1; break;
            case 4: predicted = Paeth(a, b, c); break;
            default: break;
            }
            const auto v = static_cast<std::uint8_t>(row[i] - predicted);
            out[i + 1] = v;
            sum += v < 128 ? v : 256u - v;
        }
        if (sum < bestSum) {
            bestSum = sum;
            best = f;
        }
    }
    return candidates[best];
}

class TImageDataWriter {
public:
    explicit TImageDataWriter(std::vector<std::uint8_t>& out) : FOut(out), FBuffer(kImageDataChunk) {
        if (deflateInit(&FStream, Z_DEFAULT_COMPRESSION) != Z_OK) throw EPngError(kErrOutOfMemory);
        FStream.next_out = FBuffer.data();
        FStream.avail_out = static_cast<uInt>(FBuffer.size());
    }
    ~TImageDataWriter() { deflateEnd(&FStream); }
    TImageDataWriter(const TImageDataWriter&) = delete;
    TImageDataWriter& operator=(const TImageDataWriter&) = delete;

    void Write(std::span<const std::uint8_t> bytes) { Run(bytes, Z_NO_FLUSH); }
    void Finish() {
        Run({}, Z_FINISH);
        if (FStream.avail_out != FBuffer.size()) Emit();
    }

private:
    void Run(std::span<const std::uint8_t> bytes, int flush) {
        FStream.next_in = const_cast<Bytef*>(bytes.data());
        FStream.avail_in = static_cast<uInt>(bytes.size());  // one row, below 2^31 bytes
        int rc;
        do {
            rc = deflate(&FStream, flush);
            if (rc == Z_STREAM_ERROR) throw EPngError(kErrOutOfMemory);
            if (FStream.avail_out == 0) Emit();
        } while (flush == Z_FINISH ? rc != Z_STREAM_END : FStream.avail_in > 0);
    }

    void Emit() {
        AppendChunk(FOut, "IDAT", {FBuffer.data(), FBuffer.size() - FStream.avail_out});
        FStream.next_out = FBuffer.data();
        FStream.avail_out = static_cast<uInt>(FBuffer.size());
    }

    std::vector<std::uint8_t>& FOut;
    std::vector<std::uint8_t> FBuffer;
    z_stream FStream{};
};

}  // namespace

std::vector<std::uint8_t> Encode(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba,
                                 const TPngMetadata& metadata) {
    if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength ||
        rgba.size() != std::uint64_t{width} * height * 4)
        throw EPngError("No image to save");
    bool opaque = true;
    for (std::size_t i = 3; i < rgba.size() && opaque; i += 4) opaque = rgba[i] == 255;
    const std::size_t channels = opaque ? 3 : 4;

    std::vector<std::uint8_t> out(kSignature, kSignature + sizeof kSignature);
    std::vector<std::uint8_t> header;
    AppendU32(header, width);
    AppendU32(header, height);
    header.insert(header.end(), {8, static_cast<std::uint8_t>(opaque ? 2 : 6), 0, 0, 0});
    AppendChunk(out, "IHDR", header);
    AppendMetadataChunks(out, metadata);

    const std::size_t rowBytes = std::size_t{width} * channels;
    std::vector<std::uint8_t> prior(rowBytes, 0), row(rowBytes);
    std::vector<std::uint8_t> candidates[5];
    for (auto& c : candidates) c.resize(rowBytes + 1);
    TImageDataWriter idat(out);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* src = rgba.data() + std::size_t{y} * width * 4;
        if (opaque) {
            for (std::size_t x = 0; x < width; ++x) std::memcpy(&row[3 * x], src + 4 * x, 3);
        } else {
            std::memcpy(row.data(), src, rowBytes);
        }
        idat.Write(BestFilteredRow(row.data(), prior.data(), rowBytes, channels, candidates));
        row.swap(prior);
    }
    idat.Finish();
    AppendChunk(out, "IEND", {});
    return out;
}

}  // namespace png
