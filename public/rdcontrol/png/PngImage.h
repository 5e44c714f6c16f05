#pragma once
// TPngImage: the control library's PNG codec (the PNG standard, on zlib).
//
// Reading: every colour type and bit depth, Adam7 interlacing, palettes and tRNS
// transparency. Pixels come out as 32-bit ARGB, premultiplied (what the library's
// surfaces paint), and on request as straight 8-bit or 16-bit RGBA. No gamma or
// colour transform is applied to the pixels; gAMA, cHRM, sRGB, pHYs, bKGD and tIME
// are kept as values, with the text chunks (tEXt, zTXt, iTXt). The text of the
// library's own "RDPNG" text chunk is the picture's metadata (RdText).
//
// Errors: a file that cannot be decoded raises EPngError with one of a small set of
// English texts ("Invalid PNG signature", "CRC error in chunk IHDR", ...); the
// Try... variants return that text instead. A failed load leaves the image as it
// was. Critical chunks must be whole, valid and in order, and the zlib data must end
// exactly where the image ends: missing rows, a stream without its end and data
// beyond the last row are all errors. An ancillary chunk with a bad CRC, a wrong
// length or a bad value, or one in a place the standard does not allow, is skipped
// with a note in Warnings(): it carries no pixels, and browsers show such files.
// Palette indexes beyond the palette read as opaque black; data after IEND is
// ignored. tEXt and zTXt texts are Latin-1 and come out as UTF-8; a compressed text
// may inflate to 1 MiB, all of a file's to 8 MiB (longer ones are skipped).
//
// Memory: an image with more than MaxPixels() pixels is refused before anything is
// allocated for it (default 2^26 = 8192 x 8192: a loaded image holds about 8 bytes
// a pixel, and the library runs in 32-bit programs). The compressed data must also
// be able to hold the image (deflate expands at most 1032:1), so a small file that
// declares a large image fails before allocating too.
//
// Writing: 8-bit RGBA, or RGB when every pixel is opaque, non-interlaced, a filter
// per row chosen by the minimum sum of absolute differences, zlib at its default
// level, with the text chunks and the other kept chunks (bKGD as 8-bit RGB).
// 16-bit sources are written with their high bytes.
//
// A TPngImage is a plain value: it owns its pixels and metadata and shares nothing.
// Load and save block (file reads and writes, decompression). No thread affinity;
// one object must not be used from two threads at once, except for const calls.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

class EPngError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// IHDR colour types.
enum class TPngColorType : std::uint8_t { Gray = 0, Rgb = 2, Palette = 3, GrayAlpha = 4, Rgba = 6 };

enum class TPngTextKind : std::uint8_t {
    Text,            // tEXt: Latin-1
    CompressedText,  // zTXt: Latin-1, deflated
    InternationalText  // iTXt: UTF-8, optionally deflated, with language tag
};

// One text chunk. Strings are UTF-8. When saving, a tEXt or zTXt text that Latin-1
// cannot hold is written as iTXt.
struct TPngText {
    TPngText() = default;
    TPngText(std::string keyword, std::string text, TPngTextKind kind = TPngTextKind::Text)
        : Keyword(std::move(keyword)), Text(std::move(text)), Kind(kind) {}

    std::string Keyword;  // 1..79 Latin-1 characters, no leading/trailing/double spaces
    std::string Text;     // no NUL characters
    TPngTextKind Kind = TPngTextKind::Text;
    bool Compressed = false;        // iTXt only
    std::string LanguageTag;        // iTXt only
    std::string TranslatedKeyword;  // iTXt only
    bool operator==(const TPngText&) const = default;
};

// cHRM values as stored: times 100000.
struct TPngChromaticities {
    std::uint32_t WhiteX = 0, WhiteY = 0, RedX = 0, RedY = 0, GreenX = 0, GreenY = 0, BlueX = 0, BlueY = 0;
    bool operator==(const TPngChromaticities&) const = default;
};

struct TPngPhysicalDimensions {
    std::uint32_t PixelsPerUnitX = 0, PixelsPerUnitY = 0;
    std::uint8_t Unit = 0;  // 0 unknown (aspect ratio only), 1 metre
    bool operator==(const TPngPhysicalDimensions&) const = default;
};

struct TPngTime {
    std::uint16_t Year = 0;
    std::uint8_t Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
    bool operator==(const TPngTime&) const = default;
};

// bKGD as a colour on the 16-bit scale (grey and low bit depths scaled up, palette
// entries looked up), whatever form the file stored it in.
struct TPngBackground {
    std::uint16_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TPngBackground&) const = default;
};

struct TPngMetadata {
    std::vector<TPngText> Texts;  // in file order, "RDPNG" among them
    std::optional<std::uint32_t> Gamma;  // gAMA, times 100000
    std::optional<TPngChromaticities> Chromaticities;
    std::optional<std::uint8_t> SrgbIntent;  // sRGB rendering intent 0..3
    std::optional<TPngPhysicalDimensions> PhysicalDimensions;
    std::optional<TPngBackground> Background;
    std::optional<TPngTime> ModificationTime;
    bool operator==(const TPngMetadata&) const = default;
};

// How the decoder keeps the pixels: as the file had them, unpacked. Internal to the
// codec; callers use TPngImage's accessors.
struct TPngRaster {
    std::uint32_t Width = 0, Height = 0;
    std::uint8_t BitDepth = 8;
    TPngColorType ColorType = TPngColorType::Rgba;
    bool Interlaced = false;
    // Row after row, no padding: one byte per sample up to 8 bits (the value as
    // stored, not scaled), two big-endian bytes per sample at 16 bits.
    std::vector<std::uint8_t> Samples;
    // Palette images: RGBA of all 256 indexes (beyond PLTE: opaque black).
    std::vector<std::uint8_t> Palette;
    // tRNS of grey and RGB images: the fully transparent colour (grey in [0]), as
    // stored. A value beyond the bit depth matches no pixel.
    bool HasTransparentKey = false;
    std::uint16_t TransparentKey[3] = {};
};

class TPngImage {
public:
    static constexpr std::uint64_t DefaultMaxPixels = std::uint64_t{1} << 26;
    static constexpr const char* RdTextKeyword = "RDPNG";

    // Images with more pixels are refused by the next load ("Image too large").
    std::uint64_t MaxPixels() const { return FMaxPixels; }
    void SetMaxPixels(std::uint64_t maxPixels) { FMaxPixels = maxPixels; }

    // Throw EPngError; on failure the image keeps what it had.
    void LoadFromBytes(std::span<const std::uint8_t> bytes);
    void LoadFromFile(const std::string& utf8Path);
    // The same without exceptions: "" on success, else the error text.
    std::string TryLoadFromBytes(std::span<const std::uint8_t> bytes) noexcept;
    std::string TryLoadFromFile(const std::string& utf8Path) noexcept;

    // Throw EPngError for an empty image, an invalid text keyword or text, or (file)
    // when the file cannot be written.
    std::vector<std::uint8_t> SaveToBytes() const;
    void SaveToFile(const std::string& utf8Path) const;

    // Replace the pixels (metadata stays): straight RGBA bytes, or premultiplied
    // 0xAARRGGBB values (unpremultiplied for keeping). width * height values;
    // std::invalid_argument when the size does not match or a side is 0.
    void AssignRgba8(std::uint32_t width, std::uint32_t height, std::span<const std::uint8_t> rgba);
    void AssignPremultiplied(std::uint32_t width, std::uint32_t height, std::span<const std::uint32_t> argb);

    bool Empty() const { return FRaster.Width == 0; }
    std::uint32_t Width() const { return FRaster.Width; }
    std::uint32_t Height() const { return FRaster.Height; }
    // The source's format (after an Assign: 8-bit RGBA, not interlaced).
    int BitDepth() const { return FRaster.BitDepth; }
    TPngColorType ColorType() const { return FRaster.ColorType; }
    bool Interlaced() const { return FRaster.Interlaced; }

    // Premultiplied 0xAARRGGBB, row after row, made from the 8-bit straight values.
    const std::vector<std::uint32_t>& Pixels() const { return FPixels; }
    // Straight RGBA, 4 bytes a pixel; 16-bit samples reduced to their high byte,
    // low bit depths scaled up (a 4-bit 0xF is 0xFF). Made on each call.
    std::vector<std::uint8_t> Rgba8() const;
    // Straight RGBA, 4 values a pixel, on the 16-bit scale: exact for 16-bit
    // sources, scaled up (v * 65535 / max) for the others. Made on each call.
    std::vector<std::uint16_t> Rgba16() const;

    const TPngMetadata& Metadata() const { return FMetadata; }
    void SetMetadata(TPngMetadata metadata) { FMetadata = std::move(metadata); }
    // Text of the first "RDPNG" text chunk, "" when there is none. Setting "" removes
    // it; otherwise the first one is changed or one is added (tEXt, or iTXt when
    // Latin-1 cannot hold the text).
    std::string RdText() const;
    void SetRdText(const std::string& text);

    // What the last load skipped (ancillary chunks), one line each.
    const std::vector<std::string>& Warnings() const { return FWarnings; }

private:
    TPngRaster FRaster;
    std::vector<std::uint32_t> FPixels;
    TPngMetadata FMetadata;
    std::vector<std::string> FWarnings;
    std::uint64_t FMaxPixels = DefaultMaxPixels;
};

// One-call decode to straight 8-bit RGBA (16-bit samples reduced to their high
// byte, no gamma), for tools and for callers that need no premultiplied pixels.
// Throws EPngError.
struct TPngRgba8 {
    std::uint32_t Width = 0, Height = 0;
    std::vector<std::uint8_t> Rgba;
};
TPngRgba8 DecodePngToRgba8(std::span<const std::uint8_t> bytes,
                           std::uint64_t maxPixels = TPngImage::DefaultMaxPixels);
