// The decoder on hand-made files: broken ones of every kind must fail with their
// error text (never a crash), damaged ancillary chunks are skipped with a warning,
// and known answers for what libpng cannot tell us (our own rules and accessors).
#include <gtest/gtest.h>

#include <zlib.h>

#include <fstream>

#include "os/Utf8Path.h"
#include "public/rdcontrol/png/PngImage.h"
#include "tests/unit/PngTestSupport.h"
#include "tests/unit/TempDir.h"

namespace {

// A 2x2 RGBA picture, both rows unfiltered.
const TBytes kRaw2x2 = {0, 255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 255, 0, 10, 20, 30, 40};

TBytes ValidRgba() { return PngFile({Ihdr(2, 2, 8, 6), Idat(kRaw2x2), Iend()}); }

// A 2x1 palette picture showing entries 0 and 1 of a 2-entry palette.
const TBytes kPalette = {10, 20, 30, 40, 50, 60};
TBytes PaletteFile(std::initializer_list<TBytes> beforeImageData, std::initializer_list<TBytes> after = {}) {
    TBytes file = PngFile({Ihdr(2, 1, 8, 3)});
    for (const TBytes& c : beforeImageData) file.insert(file.end(), c.begin(), c.end());
    const TBytes idat = Idat({0, 0, 1});
    file.insert(file.end(), idat.begin(), idat.end());
    for (const TBytes& c : after) file.insert(file.end(), c.begin(), c.end());
    const TBytes iend = Iend();
    file.insert(file.end(), iend.begin(), iend.end());
    return file;
}

TBytes IhdrData(std::uint32_t width, std::uint32_t height, std::uint8_t depth, std::uint8_t type,
                std::uint8_t compression = 0, std::uint8_t filter = 0, std::uint8_t interlace = 0) {
    TBytes d;
    PutU32(d, width);
    PutU32(d, height);
    d.insert(d.end(), {depth, type, compression, filter, interlace});
    return d;
}

TBytes WithCrcFlipped(TBytes chunk) {
    chunk.back() ^= 0x01;
    return chunk;
}

TBytes Without(TBytes bytes, std::size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

TBytes Deflated(const TBytes& raw) { return ZlibCompress(raw); }

std::string ErrorOf(const TBytes& file, std::uint64_t maxPixels = TPngImage::DefaultMaxPixels) {
    TPngImage image;
    image.SetMaxPixels(maxPixels);
    return image.TryLoadFromBytes(file);
}

TBytes Zeros(std::size_t n) { return TBytes(n, 0); }

}  // namespace

TEST(PngDecoder, BrokenFilesFailWithTheirError) {
    struct TCase {
        const char* Name;
        TBytes File;
        std::string Error;
    };
    const TBytes rawPlusRow = Concat({kRaw2x2, Zeros(9)});
    const TBytes rawLessRow(kRaw2x2.begin(), kRaw2x2.begin() + 9);
    const TBytes stream = Deflated(kRaw2x2);
    TBytes presetDictionary = {0x78, 0xBB, 0, 0, 0, 1};
    TBytes badHeader = Deflated(kRaw2x2);
    badHeader[1] = 0;
    TBytes badChecksum = Deflated(kRaw2x2);
    badChecksum.back() ^= 0xFF;
    TBytes badFilter = kRaw2x2;
    badFilter[9] = 5;
    TBytes badSignature = ValidRgba();
    badSignature[0] = 0x88;
    TBytes crLfToLf = ValidRgba();
    crLfToLf.erase(crLfToLf.begin() + 4);  // "\r\n" -> "\n", as a text-mode transfer does
    TBytes hugeLength = PngFile({Ihdr(2, 2, 8, 6)});
    PutU32(hugeLength, 0x80000000u);
    hugeLength.insert(hugeLength.end(), {'I', 'D', 'A', 'T', 0, 0, 0, 0});
    TBytes lengthPastEnd = PngFile({Ihdr(2, 2, 8, 6)});
    PutU32(lengthPastEnd, 0x7FFFFFFFu);
    lengthPastEnd.insert(lengthPastEnd.end(), {'t', 'E', 'X', 't', 0, 0, 0, 0});

    const TCase cases[] = {
        {"empty", {}, "Invalid PNG signature"},
        {"signature damaged", badSignature, "Invalid PNG signature"},
        {"line ends converted", crLfToLf, "Invalid PNG signature"},
        {"signature only", PngFile({}), "Unexpected end of PNG data"},
        {"first chunk not IHDR",
         PngFile({Chunk("tEXt", BytesOf(std::string("a\0b", 3))), Ihdr(2, 2, 8, 6), Idat(kRaw2x2), Iend()}),
         "Invalid PNG header"},
        {"IHDR CRC", PngFile({WithCrcFlipped(Ihdr(2, 2, 8, 6)), Idat(kRaw2x2), Iend()}), "CRC error in chunk IHDR"},
        {"IHDR too short", PngFile({Chunk("IHDR", Without(IhdrData(2, 2, 8, 6), 1)), Idat(kRaw2x2), Iend()}),
         "Invalid PNG header"},
        {"zero width", PngFile({Ihdr(0, 2, 8, 6), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"zero height", PngFile({Ihdr(2, 0, 8, 6), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"width 2^31", PngFile({Ihdr(0x80000000u, 1, 8, 6), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"colour type 1", PngFile({Ihdr(2, 2, 8, 1), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"colour type 7", PngFile({Ihdr(2, 2, 8, 7), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"grey of 3 bits", PngFile({Ihdr(2, 2, 3, 0), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"palette of 16 bits", PngFile({Ihdr(2, 2, 16, 3), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"RGB of 4 bits", PngFile({Ihdr(2, 2, 4, 2), Idat(kRaw2x2), Iend()}), "Invalid PNG header"},
        {"compression method 1", PngFile({Chunk("IHDR", IhdrData(2, 2, 8, 6, 1)), Idat(kRaw2x2), Iend()}),
         "Invalid PNG header"},
        {"filter method 1", PngFile({Chunk("IHDR", IhdrData(2, 2, 8, 6, 0, 1)), Idat(kRaw2x2), Iend()}),
         "Invalid PNG header"},
        {"interlace method 2", PngFile({Chunk("IHDR", IhdrData(2, 2, 8, 6, 0, 0, 2)), Idat(kRaw2x2), Iend()}),
         "Invalid PNG header"},
        {"second IHDR", PngFile({Ihdr(2, 2, 8, 6), Ihdr(2, 2, 8, 6), Idat(kRaw2x2), Iend()}), "Invalid chunk order"},
        {"largest dimensions", PngFile({Ihdr(0x7FFFFFFF, 0x7FFFFFFF, 16, 6), Idat(kRaw2x2), Iend()}),
         "Image too large"},
        {"one row beyond the pixel limit", PngFile({Ihdr(8192, 8193, 1, 0), Idat(kRaw2x2), Iend()}),
         "Image too large"},
        {"at the pixel limit, data far too short", PngFile({Ihdr(8192, 8192, 8, 6), Idat(kRaw2x2), Iend()}),
         "Not enough image data"},
        {"no IDAT", PngFile({Ihdr(2, 2, 8, 6), Iend()}), "Missing image data"},
        {"only empty IDAT", PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", {}), Iend()}), "Not enough image data"},
        {"no IEND", PngFile({Ihdr(2, 2, 8, 6), Idat(kRaw2x2)}), "Unexpected end of PNG data"},
        {"palette image without PLTE", PngFile({Ihdr(2, 1, 8, 3), Idat({0, 0, 1}), Iend()}), "Invalid palette"},
        {"PLTE in a grey image", PngFile({Ihdr(2, 1, 8, 0), Chunk("PLTE", kPalette), Idat({0, 0, 1}), Iend()}),
         "Invalid palette"},
        {"PLTE of 5 bytes", PaletteFile({Chunk("PLTE", Without(kPalette, 1))}), "Invalid palette"},
        {"PLTE of 257 entries", PaletteFile({Chunk("PLTE", Zeros(3 * 257))}), "Invalid palette"},
        {"PLTE empty", PaletteFile({Chunk("PLTE", {})}), "Invalid palette"},
        {"two PLTE", PaletteFile({Chunk("PLTE", kPalette), Chunk("PLTE", kPalette)}), "Invalid palette"},
        {"PLTE after IDAT", PngFile({Ihdr(1, 1, 8, 2), Idat({0, 1, 2, 3}), Chunk("PLTE", kPalette), Iend()}),
         "Invalid chunk order"},
        {"IDAT split by another chunk",
         PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", TBytes(stream.begin(), stream.begin() + 4)),
                  Chunk("tEXt", BytesOf(std::string("a\0b", 3))),
                  Chunk("IDAT", TBytes(stream.begin() + 4, stream.end())), Iend()}),
         "Invalid chunk order"},
        {"IDAT CRC", PngFile({Ihdr(2, 2, 8, 6), WithCrcFlipped(Idat(kRaw2x2)), Iend()}), "CRC error in chunk IDAT"},
        {"IEND CRC", PngFile({Ihdr(2, 2, 8, 6), Idat(kRaw2x2), WithCrcFlipped(Iend())}), "CRC error in chunk IEND"},
        {"unknown critical chunk", PngFile({Ihdr(2, 2, 8, 6), Chunk("QRST", {}), Idat(kRaw2x2), Iend()}),
         "Unknown critical chunk QRST"},
        {"chunk type with a digit", PngFile({Ihdr(2, 2, 8, 6), Chunk("tE5t", {}), Idat(kRaw2x2), Iend()}),
         "Invalid chunk type"},
        {"chunk length 2^31", hugeLength, "Invalid chunk length"},
        {"chunk length past the end", lengthPastEnd, "Unexpected end of PNG data"},
        {"filter type 5", PngFile({Ihdr(2, 2, 8, 6), Idat(badFilter), Iend()}), "Invalid filter type"},
        {"a row missing", PngFile({Ihdr(2, 2, 8, 6), Idat(rawLessRow), Iend()}), "Not enough image data"},
        {"a row too many", PngFile({Ihdr(2, 2, 8, 6), Idat(rawPlusRow), Iend()}), "Too much image data"},
        {"bytes after the zlib stream",
         PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", Concat({Deflated(kRaw2x2), {0, 0}})), Iend()}),
         "Too much image data"},
        {"IDAT after the zlib stream", PngFile({Ihdr(2, 2, 8, 6), Idat(kRaw2x2), Chunk("IDAT", {1}), Iend()}),
         "Too much image data"},
        {"zlib checksum missing", PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", Without(Deflated(kRaw2x2), 4)), Iend()}),
         "Not enough image data"},
        {"zlib checksum wrong", PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", badChecksum), Iend()}),
         "PNG data is corrupt (zlib: incorrect data check)"},
        {"zlib header wrong", PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", badHeader), Iend()}),
         "PNG data is corrupt (zlib: incorrect header check)"},
        {"zlib preset dictionary", PngFile({Ihdr(2, 2, 8, 6), Chunk("IDAT", presetDictionary), Iend()}),
         "PNG data is corrupt (zlib: preset dictionary)"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ErrorOf(c.File), c.Error) << c.Name;
        TPngImage image;
        try {
            image.LoadFromBytes(c.File);
            ADD_FAILURE() << c.Name << ": no exception";
        } catch (const EPngError& e) {
            EXPECT_EQ(e.what(), c.Error) << c.Name;
        }
    }
}

TEST(PngDecoder, EveryTruncationIsAnError) {
    const TBytes file = PngFile({Ihdr(2, 2, 8, 6), Chunk("tEXt", BytesOf(std::string("Title\0x", 7))),
                                 Idat(kRaw2x2), Iend()});
    ASSERT_EQ(ErrorOf(file), "");
    for (std::size_t size = 0; size < file.size(); ++size) {
        const TBytes part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(ErrorOf(part), size < 8 ? "Invalid PNG signature" : "Unexpected end of PNG data") << size;
    }
}

// Refusing must come before allocating: with the pixel limit lifted, a 2^20 x 2^20
// picture of 16-bit RGBA (8 TiB) in a small file is refused for its data, where
// allocating first would fail for memory (or abort under AddressSanitizer).
TEST(PngDecoder, LargeImageInSmallFileFailsBeforeAllocating) {
    const TBytes file = PngFile({Ihdr(1u << 20, 1u << 20, 16, 6), Idat(Zeros(100000)), Iend()});
    EXPECT_EQ(ErrorOf(file, std::uint64_t{1} << 41), "Not enough image data");
    EXPECT_EQ(ErrorOf(file), "Image too large");
    EXPECT_EQ(ErrorOf(ValidRgba(), 3), "Image too large");
    EXPECT_EQ(ErrorOf(ValidRgba(), 4), "");
}

TEST(PngDecoder, DamagedAncillaryChunksAreSkippedWithAWarning) {
    struct TCase {
        const char* Name;
        TBytes File;
        std::string Warning;  // "" when the chunk is skipped silently
    };
    const TBytes plte = Chunk("PLTE", kPalette);
    const TBytes trns = Chunk("tRNS", {0, 128});
    TBytes zipBomb = BytesOf(std::string("Comment\0\0", 9));
    const TBytes bomb = Deflated(Zeros((1 << 20) + 1));
    zipBomb.insert(zipBomb.end(), bomb.begin(), bomb.end());
    TBytes corruptText = BytesOf(std::string("Comment\0\0", 9));
    corruptText.insert(corruptText.end(), {0x78, 0x9C, 0xFF, 0xFF});

    const TCase cases[] = {
        {"tRNS with more entries than the palette", PaletteFile({plte, Chunk("tRNS", {0, 0, 0})}),
         "Skipped tRNS chunk (more entries than the palette)"},
        {"tRNS before PLTE", PaletteFile({trns, plte}), "Skipped tRNS chunk (before PLTE)"},
        {"tRNS after IDAT", PaletteFile({plte}, {trns}), "Skipped tRNS chunk (after the image data)"},
        {"tRNS with a bad CRC", PaletteFile({plte, WithCrcFlipped(trns)}), "Skipped tRNS chunk (CRC error)"},
        {"two tRNS", PaletteFile({plte, Chunk("tRNS", {255}), trns}), "Skipped tRNS chunk (duplicate)"},
        {"tRNS in an RGBA image", PngFile({Ihdr(2, 2, 8, 6), Chunk("tRNS", Zeros(6)), Idat(kRaw2x2), Iend()}),
         "Skipped tRNS chunk (image has an alpha channel)"},
        {"grey tRNS of 6 bytes", PngFile({Ihdr(1, 1, 8, 0), Chunk("tRNS", Zeros(6)), Idat({0, 0}), Iend()}),
         "Skipped tRNS chunk (invalid length)"},
        {"gAMA of 3 bytes", PaletteFile({Chunk("gAMA", Zeros(3)), plte}), "Skipped gAMA chunk (invalid length)"},
        {"gAMA of 0", PaletteFile({Chunk("gAMA", Zeros(4)), plte}), "Skipped gAMA chunk (invalid value)"},
        {"sRGB intent 4", PaletteFile({Chunk("sRGB", {4}), plte}), "Skipped sRGB chunk (invalid value)"},
        {"pHYs unit 2", PaletteFile({plte, Chunk("pHYs", {0, 0, 0, 1, 0, 0, 0, 1, 2})}),
         "Skipped pHYs chunk (invalid value)"},
        {"cHRM of 31 bytes", PaletteFile({Chunk("cHRM", Zeros(31)), plte}), "Skipped cHRM chunk (invalid length)"},
        {"tIME month 13", PaletteFile({plte}, {Chunk("tIME", {7, 232, 13, 1, 0, 0, 0})}),
         "Skipped tIME chunk (invalid value)"},
        {"bKGD beyond the palette", PaletteFile({plte, Chunk("bKGD", {2})}), "Skipped bKGD chunk (invalid value)"},
        {"bKGD grey beyond the bit depth", PngFile({Ihdr(1, 1, 2, 0), Chunk("bKGD", {0, 4}), Idat({0, 0}), Iend()}),
         "Skipped bKGD chunk (invalid value)"},
        {"tEXt without keyword", PaletteFile({plte, Chunk("tEXt", BytesOf(std::string("\0text", 5)))}),
         "Skipped tEXt chunk (invalid keyword)"},
        {"tEXt keyword with leading space", PaletteFile({plte, Chunk("tEXt", BytesOf(std::string(" Title\0x", 8)))}),
         "Skipped tEXt chunk (invalid keyword)"},
        {"tEXt keyword of 80 characters",
         PaletteFile({plte, Chunk("tEXt", Concat({TBytes(80, 'k'), {0}, BytesOf("x")}))}),
         "Skipped tEXt chunk (invalid keyword)"},
        {"tEXt with a NUL in the text", PaletteFile({plte, Chunk("tEXt", BytesOf(std::string("Title\0a\0b", 9)))}),
         "Skipped tEXt chunk (invalid text)"},
        {"zTXt with corrupt data", PaletteFile({plte, Chunk("zTXt", corruptText)}),
         "Skipped zTXt chunk (corrupt or too long text)"},
        {"zTXt inflating beyond 1 MiB", PaletteFile({plte, Chunk("zTXt", zipBomb)}),
         "Skipped zTXt chunk (corrupt or too long text)"},
        {"iTXt that is not UTF-8", PaletteFile({plte, Chunk("iTXt", BytesOf(std::string("Title\0\0\0\0\0\xC3(", 12)))}),
         "Skipped iTXt chunk (invalid text)"},
        {"iTXt cut after the language", PaletteFile({plte, Chunk("iTXt", BytesOf(std::string("Title\0\0\0en\0", 11)))}),
         "Skipped iTXt chunk (truncated)"},
        {"suggested palette of 4 bytes in RGB",
         PngFile({Ihdr(1, 1, 8, 2), Chunk("PLTE", Zeros(4)), Idat({0, 1, 2, 3}), Iend()}),
         "Skipped PLTE chunk (invalid length)"},
        {"unknown ancillary chunk", PaletteFile({plte, Chunk("quUx", Zeros(5))}), ""},
        {"unknown ancillary chunk with a bad CRC", PaletteFile({plte, WithCrcFlipped(Chunk("quUx", Zeros(5)))}),
         "Skipped quUx chunk (CRC error)"},
        {"bytes after IEND", Concat({PaletteFile({plte}), BytesOf("trailing junk")}), ""},
    };
    for (const TCase& c : cases) {
        TPngImage image;
        ASSERT_EQ(image.TryLoadFromBytes(c.File), "") << c.Name;
        const std::vector<std::string> expected = c.Warning.empty() ? std::vector<std::string>{}
                                                                    : std::vector<std::string>{c.Warning};
        EXPECT_EQ(image.Warnings(), expected) << c.Name;
        EXPECT_FALSE(image.Pixels().empty()) << c.Name;
        const TLibpngImage theirs = LibpngRead(c.File, false);
        const std::vector<std::uint8_t> ours = image.Rgba8();
        EXPECT_EQ(theirs.Error, "") << c.Name;
        EXPECT_EQ(theirs.Rgba, std::vector<std::uint16_t>(ours.begin(), ours.end())) << c.Name;
    }
    // The skipped tRNS leaves the palette opaque.
    TPngImage image;
    image.LoadFromBytes(PaletteFile({plte, Chunk("tRNS", {0, 0, 0})}));
    EXPECT_EQ(image.Pixels(), (std::vector<std::uint32_t>{0xFF0A141E, 0xFF28323C}));
}

TEST(PngDecoder, BadCrcFailsCriticalChunksOnly) {
    const std::vector<TBytes> chunks = {Ihdr(2, 1, 8, 3),
                                        Chunk("gAMA", {0, 0, 0xB1, 0x8F}),
                                        Chunk("PLTE", kPalette),
                                        Chunk("tRNS", {0}),
                                        Chunk("tEXt", BytesOf(std::string("Title\0x", 7))),
                                        Idat({0, 0, 1}),
                                        Chunk("tIME", {7, 232, 1, 2, 3, 4, 5}),
                                        Iend()};
    for (std::size_t damaged = 0; damaged < chunks.size(); ++damaged) {
        TBytes file = PngFile({});
        for (std::size_t i = 0; i < chunks.size(); ++i) {
            const TBytes c = i == damaged ? WithCrcFlipped(chunks[i]) : chunks[i];
            file.insert(file.end(), c.begin(), c.end());
        }
        const std::string type(chunks[damaged].begin() + 4, chunks[damaged].begin() + 8);
        const bool critical = type[0] >= 'A' && type[0] <= 'Z';
        TPngImage image;
        EXPECT_EQ(image.TryLoadFromBytes(file), critical ? "CRC error in chunk " + type : "") << type;
        if (!critical) {
            EXPECT_EQ(image.Warnings(), std::vector<std::string>{"Skipped " + type + " chunk (CRC error)"});
        }
    }
}

// Known answers for the sample rules: low depths scaled up, 16-bit samples reduced
// to their high byte (and exact in Rgba16), tRNS keys compared at full depth,
// palette indexes beyond PLTE opaque black, premultiplication rounded.
TEST(PngDecoder, SampleRulesGiveKnownPixels) {
    struct TCase {
        const char* Name;
        TBytes File;
        std::vector<std::uint8_t> Rgba8;
        std::vector<std::uint16_t> Rgba16;  // empty: not checked
    };
    const TCase cases[] = {
        {"grey 2-bit 0..3, key 1", PngFile({Ihdr(4, 1, 2, 0), Chunk("tRNS", {0, 1}), Idat({0, 0b00011011}), Iend()}),
         {0, 0, 0, 255, 85, 85, 85, 0, 170, 170, 170, 255, 255, 255, 255, 255},
         {0, 0, 0, 65535, 21845, 21845, 21845, 0, 43690, 43690, 43690, 65535, 65535, 65535, 65535, 65535}},
        {"grey 1-bit, row ends inside a byte", PngFile({Ihdr(3, 1, 1, 0), Idat({0, 0b10111111}), Iend()}),
         {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255},
         {}},
        {"grey 16-bit, key differs in the low byte only",
         PngFile({Ihdr(2, 1, 16, 0), Chunk("tRNS", {0x12, 0x35}), Idat({0, 0x12, 0x34, 0x12, 0x35}), Iend()}),
         {0x12, 0x12, 0x12, 255, 0x12, 0x12, 0x12, 0},
         {0x1234, 0x1234, 0x1234, 65535, 0x1235, 0x1235, 0x1235, 0}},
        {"RGB 16-bit with key",
         PngFile({Ihdr(2, 1, 16, 2), Chunk("tRNS", {0xAB, 0xCD, 0, 1, 0xFF, 0xFE}),
                  Idat({0, 0xAB, 0xCD, 0, 1, 0xFF, 0xFE, 0xAB, 0xCD, 0, 1, 0xFF, 0xFF}), Iend()}),
         {0xAB, 0, 0xFF, 0, 0xAB, 0, 0xFF, 255},
         {0xABCD, 1, 0xFFFE, 0, 0xABCD, 1, 0xFFFF, 65535}},
        {"tRNS shorter than PLTE",
         PaletteFile({Chunk("PLTE", kPalette), Chunk("tRNS", {7})}),
         {10, 20, 30, 7, 40, 50, 60, 255},
         {2570, 5140, 7710, 1799, 10280, 12850, 15420, 65535}},
        {"palette index 9 of 2 entries", PngFile({Ihdr(1, 1, 8, 3), Chunk("PLTE", kPalette), Idat({0, 9}), Iend()}),
         {0, 0, 0, 255},
         {}},
        {"grey+alpha 16-bit", PngFile({Ihdr(1, 1, 16, 4), Idat({0, 0x80, 0x01, 0x7F, 0xFF}), Iend()}),
         {0x80, 0x80, 0x80, 0x7F},
         {0x8001, 0x8001, 0x8001, 0x7FFF}},
    };
    for (const TCase& c : cases) {
        TPngImage image;
        ASSERT_EQ(image.TryLoadFromBytes(c.File), "") << c.Name;
        EXPECT_EQ(image.Rgba8(), c.Rgba8) << c.Name;
        EXPECT_EQ(DecodePngToRgba8(c.File).Rgba, c.Rgba8) << c.Name;
        EXPECT_EQ(LibpngRead(c.File, false).Rgba, std::vector<std::uint16_t>(c.Rgba8.begin(), c.Rgba8.end())) << c.Name;
        if (!c.Rgba16.empty()) {
            EXPECT_EQ(image.Rgba16(), c.Rgba16) << c.Name;
        }
    }
}

TEST(PngDecoder, PixelsArePremultipliedArgb) {
    // Straight (200, 100, 50, 128): 200 * 128 / 255 = 100.4 -> 100, 50.2 -> 50, 25.1 -> 25.
    const TBytes file = PngFile({Ihdr(4, 1, 8, 6),
                                 Idat({0, 200, 100, 50, 128, 1, 2, 3, 255, 9, 9, 9, 0, 255, 255, 255, 1}), Iend()});
    TPngImage image;
    image.LoadFromBytes(file);
    EXPECT_EQ(image.Pixels(), (std::vector<std::uint32_t>{0x80643219, 0xFF010203, 0x00000000, 0x01010101}));
    EXPECT_EQ(image.Width(), 4u);
    EXPECT_EQ(image.Height(), 1u);
    EXPECT_EQ(image.ColorType(), TPngColorType::Rgba);
}

// Rows filtered by each filter type in turn (by the standard's definitions, here),
// including the first row (no row above) and bytes with no pixel to the left; for
// whole-byte pixels (RGB, 3 bytes) and packed ones (2-bit grey, the left neighbour
// is the previous byte).
TEST(PngDecoder, EveryFilterTypeIsReversed) {
    auto filterRows = [](const std::vector<TBytes>& rows, std::size_t bpp, std::uint8_t type) {
        TBytes raw;
        TBytes prior(rows[0].size(), 0);
        for (const TBytes& row : rows) {
            raw.push_back(type);
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int a = i >= bpp ? row[i - bpp] : 0, b = prior[i], c = i >= bpp ? prior[i - bpp] : 0;
                int predicted = 0;
                if (type == 1) predicted = a;
                if (type == 2) predicted = b;
                if (type == 3) predicted = (a + b) / 2;
                if (type == 4) {
                    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                }
                raw.push_back(static_cast<std::uint8_t>(row[i] - predicted));
            }
            prior = row;
        }
        return raw;
    };
    const std::vector<TBytes> rgbRows = {{200, 10, 30, 220, 40, 60, 5, 250, 90},
                                         {100, 110, 120, 130, 140, 150, 160, 170, 180},
                                         {255, 0, 255, 0, 255, 0, 255, 0, 255}};
    const std::vector<TBytes> greyRows = {{0b00011011, 0b11100100}, {0b10101010, 0b01010101}, {0xFF, 0x00}};
    for (std::uint8_t type = 0; type <= 4; ++type) {
        TPngImage plain, filtered;
        plain.LoadFromBytes(PngFile({Ihdr(3, 3, 8, 2), Idat(filterRows(rgbRows, 3, 0)), Iend()}));
        filtered.LoadFromBytes(PngFile({Ihdr(3, 3, 8, 2), Idat(filterRows(rgbRows, 3, type)), Iend()}));
        EXPECT_EQ(filtered.Rgba8(), plain.Rgba8()) << "RGB, filter " << int{type};
        plain.LoadFromBytes(PngFile({Ihdr(8, 3, 2, 0), Idat(filterRows(greyRows, 1, 0)), Iend()}));
        filtered.LoadFromBytes(PngFile({Ihdr(8, 3, 2, 0), Idat(filterRows(greyRows, 1, type)), Iend()}));
        EXPECT_EQ(filtered.Rgba8(), plain.Rgba8()) << "2-bit grey, filter " << int{type};
    }
    TPngImage image;
    image.LoadFromBytes(PngFile({Ihdr(3, 3, 8, 2), Idat(filterRows(rgbRows, 3, 4)), Iend()}));
    EXPECT_EQ(image.Rgba8()[4 * 4], 130);  // second row, second pixel, red
}

TEST(PngDecoder, KeepsAncillaryValuesAndTexts) {
    TBytes chrm;
    for (std::uint32_t v : {31270u, 32900u, 64000u, 33000u, 30000u, 60000u, 15000u, 6000u}) PutU32(chrm, v);
    TBytes itxt = BytesOf(std::string("Title\0\1\0de\0Titel\0", 17));
    const TBytes deflatedTitle = Deflated(BytesOf("Gr\xC3\xBC\xC3\x9F" "e"));
    itxt.insert(itxt.end(), deflatedTitle.begin(), deflatedTitle.end());
    TBytes ztxt = BytesOf(std::string("Comment\0\0", 9));
    const TBytes deflatedComment = Deflated(BytesOf("caf\xE9"));
    ztxt.insert(ztxt.end(), deflatedComment.begin(), deflatedComment.end());
    const TBytes file = PngFile({Ihdr(2, 1, 8, 3), Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("cHRM", chrm),
                                 Chunk("sRGB", {1}), Chunk("PLTE", kPalette), Chunk("bKGD", {1}),
                                 Chunk("pHYs", {0, 0, 0x0B, 0x13, 0, 0, 0x0B, 0x13, 1}),
                                 Chunk("tEXt", BytesOf(std::string("RDPNG\0margins=4,4,4,4", 21))),
                                 Chunk("zTXt", ztxt), Idat({0, 0, 1}), Chunk("iTXt", itxt),
                                 Chunk("tIME", {0x07, 0xE9, 12, 31, 23, 59, 60}), Iend()});
    TPngImage image;
    image.LoadFromBytes(file);
    const TPngMetadata& m = image.Metadata();
    EXPECT_EQ(m.Gamma, 45455u);
    EXPECT_EQ(m.Chromaticities, (TPngChromaticities{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000}));
    EXPECT_EQ(m.SrgbIntent, 1);
    EXPECT_EQ(m.Background, (TPngBackground{40 * 257, 50 * 257, 60 * 257}));
    EXPECT_EQ(m.PhysicalDimensions, (TPngPhysicalDimensions{2835, 2835, 1}));
    EXPECT_EQ(m.ModificationTime, (TPngTime{2025, 12, 31, 23, 59, 60}));
    TPngText title("Title", "Gr\xC3\xBC\xC3\x9F" "e", TPngTextKind::InternationalText);
    title.Compressed = true;
    title.LanguageTag = "de";
    title.TranslatedKeyword = "Titel";
    EXPECT_EQ(m.Texts, (std::vector<TPngText>{{"RDPNG", "margins=4,4,4,4", TPngTextKind::Text},
                                               {"Comment", "caf\xC3\xA9", TPngTextKind::CompressedText},
                                               title}));
    EXPECT_EQ(image.RdText(), "margins=4,4,4,4");
    EXPECT_TRUE(image.Warnings().empty());
    EXPECT_EQ(image.BitDepth(), 8);
    EXPECT_EQ(image.ColorType(), TPngColorType::Palette);
}

TEST(PngDecoder, FailedLoadKeepsTheImage) {
    TPngImage image;
    image.LoadFromBytes(PngFile({Ihdr(2, 2, 8, 6), Chunk("tEXt", BytesOf(std::string("RDPNG\0kept", 10))),
                                 Idat(kRaw2x2), Iend()}));
    const auto pixels = image.Pixels();
    EXPECT_THROW(image.LoadFromBytes(PngFile({Ihdr(2, 2, 8, 6), Idat(Zeros(3)), Iend()})), EPngError);
    EXPECT_EQ(image.Pixels(), pixels);
    EXPECT_EQ(image.RdText(), "kept");
    EXPECT_EQ(image.Width(), 2u);
}

TEST(PngDecoder, LoadsFromFiles) {
    TempDir dir;
    const std::string path = PathUtf8(dir.path()) + "/b\xC3\xBCtton.png";
    {
        std::ofstream out(Utf8Path(path), std::ios::binary);
        const TBytes file = ValidRgba();
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    TPngImage image;
    EXPECT_EQ(image.TryLoadFromFile(path), "");
    EXPECT_EQ(image.Width(), 2u);
    const std::string missing = PathUtf8(dir.path() / "missing.png");
    EXPECT_EQ(image.TryLoadFromFile(missing), "Cannot read file " + missing);
    EXPECT_THROW(image.LoadFromFile(missing), EPngError);
}
