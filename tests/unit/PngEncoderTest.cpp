// The encoder: what it writes reads back the same with our decoder and with libpng,
// keeps the metadata and texts, and picks its row filters by the usual heuristic.
#include <gtest/gtest.h>

#include <zlib.h>

#include <random>

#include "os/Utf8Path.h"
#include "public/rdcontrol/png/PngImage.h"
#include "tests/unit/PngTestSupport.h"
#include "tests/unit/TempDir.h"

namespace {

std::vector<std::uint8_t> RandomRgba(std::uint32_t width, std::uint32_t height, bool opaque, std::mt19937& random) {
    std::vector<std::uint8_t> rgba(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = opaque && i % 4 == 3 ? 255 : static_cast<std::uint8_t>(random() & 0xFF);
    return rgba;
}

struct TFileChunk {
    std::string Type;
    TBytes Data;
};

// The chunks of a PNG file, read here without the codec.
std::vector<TFileChunk> ChunksOf(const TBytes& file) {
    std::vector<TFileChunk> chunks;
    for (std::size_t pos = 8; pos + 12 <= file.size();) {
        const std::size_t length = (std::size_t{file[pos]} << 24) | (file[pos + 1] << 16) | (file[pos + 2] << 8) |
                                   file[pos + 3];
        chunks.push_back({std::string(file.begin() + static_cast<std::ptrdiff_t>(pos + 4),
                                      file.begin() + static_cast<std::ptrdiff_t>(pos + 8)),
                          TBytes(file.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                                 file.begin() + static_cast<std::ptrdiff_t>(pos + 8 + length))});
        pos += length + 12;
    }
    return chunks;
}

std::vector<std::string> ChunkTypes(const TBytes& file) {
    std::vector<std::string> types;
    for (const TFileChunk& c : ChunksOf(file)) types.push_back(c.Type);
    return types;
}

// The filtered rows: all IDAT data, inflated.
TBytes InflatedImageData(const TBytes& file, std::size_t size) {
    TBytes compressed;
    for (const TFileChunk& c : ChunksOf(file))
        if (c.Type == "IDAT") compressed.insert(compressed.end(), c.Data.begin(), c.Data.end());
    TBytes raw(size);
    uLongf length = size;
    EXPECT_EQ(uncompress(raw.data(), &length, compressed.data(), static_cast<uLong>(compressed.size())), Z_OK);
    EXPECT_EQ(length, size);
    return raw;
}

}  // namespace

TEST(PngEncoder, RandomImagesRoundTrip) {
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{1, 1},   {1, 7},   {7, 1},  {3, 5},
                                                             {17, 9}, {64, 64}, {255, 3}};
    std::mt19937 random(11);
    for (auto [width, height] : sizes) {
        for (bool opaque : {false, true}) {
            const std::string name = std::to_string(width) + "x" + std::to_string(height) + (opaque ? " opaque" : "");
            const std::vector<std::uint8_t> rgba = RandomRgba(width, height, opaque, random);
            TPngImage image;
            image.AssignRgba8(width, height, rgba);
            const TBytes file = image.SaveToBytes();

            TPngImage back;
            ASSERT_EQ(back.TryLoadFromBytes(file), "") << name;
            EXPECT_EQ(back.Rgba8(), rgba) << name;
            EXPECT_EQ(back.Pixels(), image.Pixels()) << name;
            EXPECT_EQ(back.ColorType(), opaque ? TPngColorType::Rgb : TPngColorType::Rgba) << name;
            EXPECT_EQ(back.BitDepth(), 8) << name;
            EXPECT_FALSE(back.Interlaced()) << name;

            // libpng checks every CRC and the zlib stream.
            const TLibpngImage theirs = LibpngRead(file, false);
            EXPECT_EQ(theirs.Error, "") << name;
            EXPECT_EQ(theirs.Rgba, std::vector<std::uint16_t>(rgba.begin(), rgba.end())) << name;
        }
    }
}

TEST(PngEncoder, MetadataAndTextsRoundTrip) {
    TPngMetadata m;
    m.Gamma = 45455;
    m.Chromaticities = TPngChromaticities{31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
    m.SrgbIntent = 0;
    m.PhysicalDimensions = TPngPhysicalDimensions{3780, 3780, 1};
    m.Background = TPngBackground{0x1234, 0x3456, 0xFFFF};
    m.ModificationTime = TPngTime{2026, 2, 28, 13, 5, 9};
    TPngText international("Title", "\xE6\xA0\x87\xE9\xA2\x98", TPngTextKind::InternationalText);
    international.Compressed = true;
    international.LanguageTag = "zh-CN";
    international.TranslatedKeyword = "\xE6\xA0\x87";
    m.Texts = {{"Author", "Ren\xC3\xA9"}, {"Comment", "long comment", TPngTextKind::CompressedText}, international};

    TPngImage image;
    image.AssignRgba8(2, 1, std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8});
    image.SetMetadata(m);
    image.SetRdText("nine-slice 3 3 3 3");
    const TBytes file = image.SaveToBytes();
    EXPECT_EQ(ChunkTypes(file), (std::vector<std::string>{"IHDR", "cHRM", "gAMA", "sRGB", "bKGD", "pHYs", "tIME",
                                                          "tEXt", "zTXt", "iTXt", "tEXt", "IDAT", "IEND"}));
    EXPECT_EQ(ChunksOf(file)[7].Data, BytesOf(std::string("Author\0Ren\xE9", 11)));  // Latin-1 in tEXt

    TPngImage back;
    back.LoadFromBytes(file);
    TPngMetadata expected = m;
    expected.Background = TPngBackground{0x1212, 0x3434, 0xFFFF};  // 8-bit RGB keeps the high bytes
    expected.Texts.emplace_back("RDPNG", "nine-slice 3 3 3 3");
    EXPECT_EQ(back.Metadata(), expected);
    EXPECT_EQ(back.RdText(), "nine-slice 3 3 3 3");

    // A text Latin-1 cannot hold goes into iTXt; RdText() reads it back the same.
    back.SetRdText("\xE2\x86\x92 arrow");
    const TBytes again = back.SaveToBytes();
    EXPECT_EQ(ChunkTypes(again)[10], "iTXt");
    TPngImage third;
    third.LoadFromBytes(again);
    EXPECT_EQ(third.RdText(), "\xE2\x86\x92 arrow");
    third.SetRdText("");
    EXPECT_EQ(third.RdText(), "");
    EXPECT_EQ(third.Metadata().Texts.size(), 3u);
}

// Rows that repeat the one above filter to zeros with Up; a ramp becomes a constant
// with Sub (Paeth gives the same bytes on the first row; the first candidate wins).
TEST(PngEncoder, ChoosesFiltersByTheSmallestSumOfDifferences) {
    const std::uint32_t width = 16, height = 4;
    std::vector<std::uint8_t> rgba;
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x * 16), static_cast<std::uint8_t>(x * 8), 7, 255});
    TPngImage image;
    image.AssignRgba8(width, height, rgba);
    const std::size_t rowBytes = width * 3 + 1;
    const TBytes raw = InflatedImageData(image.SaveToBytes(), rowBytes * height);
    EXPECT_EQ(raw[0], 1);
    for (std::uint32_t y = 1; y < height; ++y) {
        EXPECT_EQ(raw[y * rowBytes], 2) << y;
        EXPECT_EQ(TBytes(raw.begin() + static_cast<std::ptrdiff_t>(y * rowBytes + 1),
                         raw.begin() + static_cast<std::ptrdiff_t>((y + 1) * rowBytes)),
                  TBytes(rowBytes - 1, 0));
    }
}

TEST(PngEncoder, PremultipliedPixelsAreKeptStraight) {
    TPngImage image;
    image.AssignPremultiplied(3, 1, std::vector<std::uint32_t>{0x80643219, 0xFF102030, 0x00000000});
    // 100 * 255 / 128 = 199.2: the nearest straight value, which premultiplies back to 100.
    EXPECT_EQ(image.Rgba8(), (std::vector<std::uint8_t>{199, 100, 50, 128, 0x10, 0x20, 0x30, 255, 0, 0, 0, 0}));
    EXPECT_EQ(image.Pixels(), (std::vector<std::uint32_t>{0x80643219, 0xFF102030, 0x00000000}));
    TPngImage back;
    back.LoadFromBytes(image.SaveToBytes());
    EXPECT_EQ(back.Pixels(), image.Pixels());

    // Every valid premultiplied value (colour <= alpha) survives the straight form.
    std::vector<std::uint32_t> all;
    for (std::uint32_t a = 0; a < 256; ++a)
        for (std::uint32_t c = 0; c <= a; ++c) all.push_back(a << 24 | c << 16 | (a - c) << 8 | c / 2);
    image.AssignPremultiplied(static_cast<std::uint32_t>(all.size()), 1, all);
    EXPECT_EQ(image.Pixels(), all);
}

// Other formats are saved as 8-bit RGB(A): 16-bit samples keep their high byte.
TEST(PngEncoder, DecodedImagesOfOtherFormatsSaveAsTheirEightBitPixels) {
    const TBytes grey16 = PngFile({Ihdr(2, 1, 16, 0), Chunk("tRNS", {0x12, 0x34}),
                                   Idat({0, 0x12, 0x34, 0xAB, 0xCD}), Iend()});
    TPngImage image;
    image.LoadFromBytes(grey16);
    TPngImage back;
    back.LoadFromBytes(image.SaveToBytes());
    EXPECT_EQ(back.Rgba8(), image.Rgba8());
    EXPECT_EQ(back.Rgba8(), (std::vector<std::uint8_t>{0x12, 0x12, 0x12, 0, 0xAB, 0xAB, 0xAB, 255}));
    EXPECT_EQ(back.ColorType(), TPngColorType::Rgba);
}

TEST(PngEncoder, RefusesWhatCannotBeWritten) {
    TPngImage image;
    try {
        (void)image.SaveToBytes();
        ADD_FAILURE() << "an empty image was saved";
    } catch (const EPngError& e) {
        EXPECT_STREQ(e.what(), "No image to save");
    }
    EXPECT_THROW(image.AssignRgba8(2, 2, std::vector<std::uint8_t>(15)), std::invalid_argument);
    EXPECT_THROW(image.AssignRgba8(0, 2, {}), std::invalid_argument);
    EXPECT_THROW(image.AssignPremultiplied(1, 2, std::vector<std::uint32_t>(1)), std::invalid_argument);

    image.AssignRgba8(1, 1, std::vector<std::uint8_t>{1, 2, 3, 4});
    struct TCase {
        TPngText Text;
        std::string Error;
    };
    const TCase cases[] = {
        {{"", "x"}, "Invalid text keyword: "},
        {{" Lead", "x"}, "Invalid text keyword:  Lead"},
        {{"two  spaces", "x"}, "Invalid text keyword: two  spaces"},
        {{std::string(80, 'k'), "x"}, "Invalid text keyword: " + std::string(80, 'k')},
        {{"\xE2\x86\x92", "x"}, "Invalid text keyword: \xE2\x86\x92"},
        {{"Nul", std::string("a\0b", 3)}, "Invalid text in chunk Nul"},
        {{"Utf8", "\xC3("}, "Invalid text in chunk Utf8"},
    };
    for (const TCase& c : cases) {
        TPngMetadata m;
        m.Texts = {c.Text};
        image.SetMetadata(m);
        try {
            (void)image.SaveToBytes();
            ADD_FAILURE() << c.Error;
        } catch (const EPngError& e) {
            EXPECT_EQ(e.what(), c.Error);
        }
    }
}

TEST(PngEncoder, SavesToFiles) {
    TempDir dir;
    const std::string path = PathUtf8(dir.path()) + "/\xC3\xBC" "ber.png";
    TPngImage image;
    image.AssignRgba8(1, 2, std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8});
    image.SaveToFile(path);
    TPngImage back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Rgba8(), image.Rgba8());
    const std::string unwritable = PathUtf8(dir.path()) + "/missing/x.png";
    try {
        image.SaveToFile(unwritable);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EPngError& e) {
        EXPECT_EQ(e.what(), "Cannot write file " + unwritable);
    }
}
