// The decoder against libpng, pixel by pixel, on the PNG conformance pictures
// (PngSuite and libpng's test pictures, fetched into the cache by
// scripts/lib/pngsuite.sh) and on pictures libpng writes in every format. The rule
// of comparison is the one qtool uses: straight RGBA, 16-bit samples reduced to
// their high byte, no gamma; the 16-bit accessor is compared with libpng's 16-bit
// expansion the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>

#include "public/rdcontrol/png/PngImage.h"
#include "tests/unit/PngTestSupport.h"

namespace fs = std::filesystem;

namespace {

fs::path SuiteFolder() {
    if (const char* dir = std::getenv("QARTO_PNGSUITE_DIR"); dir && *dir) return dir;
    fs::path cache;
    if (const char* c = std::getenv("QARTO_CACHE"); c && *c) {
        cache = c;
    } else if (const char* x = std::getenv("XDG_CACHE_HOME"); x && *x) {
        cache = fs::path(x) / "qarto-installer";
    } else if (const char* h = std::getenv("HOME"); h && *h) {
        cache = fs::path(h) / ".cache" / "qarto-installer";
    }
    return cache / "pngsuite" / "current";
}

TBytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct TOurs {
    std::string Error;
    std::uint32_t Width = 0, Height = 0;
    std::vector<std::uint16_t> Rgba8, Rgba16;
    bool PathsAgree = true;  // TPngImage and DecodePngToRgba8 gave the same pixels
};

TOurs DecodeOurs(const TBytes& bytes) {
    TOurs ours;
    TPngImage image;
    ours.Error = image.TryLoadFromBytes(bytes);
    if (!ours.Error.empty()) return ours;
    ours.Width = image.Width();
    ours.Height = image.Height();
    const std::vector<std::uint8_t> rgba8 = image.Rgba8();
    ours.Rgba8.assign(rgba8.begin(), rgba8.end());
    ours.Rgba16 = image.Rgba16();
    ours.PathsAgree = DecodePngToRgba8(bytes).Rgba == rgba8;
    return ours;
}

// "" when equal, else where and how they differ.
std::string Compare(const char* what, std::uint32_t width, std::uint32_t height, const std::vector<std::uint16_t>& ours,
                    const TLibpngImage& theirs) {
    std::ostringstream s;
    if (width != theirs.Width || height != theirs.Height) {
        s << what << ": size " << width << "x" << height << ", libpng " << theirs.Width << "x" << theirs.Height;
        return s.str();
    }
    for (std::size_t i = 0; i < ours.size(); i += 4) {
        if (std::equal(ours.begin() + static_cast<std::ptrdiff_t>(i), ours.begin() + static_cast<std::ptrdiff_t>(i + 4),
                       theirs.Rgba.begin() + static_cast<std::ptrdiff_t>(i)))
            continue;
        const std::size_t pixel = i / 4;
        s << what << ": pixel (" << pixel % width << "," << pixel / width << ") is RGBA(" << ours[i] << ","
          << ours[i + 1] << "," << ours[i + 2] << "," << ours[i + 3] << "), libpng RGBA(" << theirs.Rgba[i] << ","
          << theirs.Rgba[i + 1] << "," << theirs.Rgba[i + 2] << "," << theirs.Rgba[i + 3] << ")";
        return s.str();
    }
    return {};
}

// Checks one file; "" when it passes. A file that is broken on purpose may be
// refused by us whatever libpng does; otherwise both must agree on every pixel (or
// both refuse it).
std::string CheckFile(const TBytes& bytes, bool brokenOnPurpose) {
    const TOurs ours = DecodeOurs(bytes);
    if (!ours.Error.empty() && brokenOnPurpose) return {};
    const TLibpngImage theirs8 = LibpngRead(bytes, false);
    if (!ours.Error.empty()) {
        if (!theirs8.Error.empty()) return {};
        return "we refuse it (" + ours.Error + "), libpng reads it";
    }
    if (!theirs8.Error.empty()) return "libpng refuses it (" + theirs8.Error + "), we read it";
    if (!ours.PathsAgree) return "TPngImage and DecodePngToRgba8 differ";
    std::string diff = Compare("8-bit", ours.Width, ours.Height, ours.Rgba8, theirs8);
    if (diff.empty()) diff = Compare("16-bit", ours.Width, ours.Height, ours.Rgba16, LibpngRead(bytes, true));
    return diff;
}

}  // namespace

TEST(PngConformance, SuitePicturesMatchLibpng) {
    const fs::path folder = SuiteFolder();
    if (!fs::is_directory(folder / "pngsuite") || !fs::is_directory(folder / "testpngs"))
        GTEST_SKIP() << "PNG conformance pictures not found in " << folder
                     << " (tests/fixtures/png/fetch_pngsuite.sh fetches them; QARTO_PNGSUITE_DIR names the folder)";
    int files = 0, refusedOnPurpose = 0;
    std::string failures;
    std::vector<fs::path> paths;
    for (const char* sub : {"pngsuite", "testpngs"})
        for (const auto& entry : fs::recursive_directory_iterator(folder / sub))
            if (entry.is_regular_file() && entry.path().extension() == ".png") paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    for (const fs::path& path : paths) {
        // PngSuite marks broken files with a leading "x"; libpng keeps files that
        // once crashed decoders in "crashers".
        const bool broken = path.filename().string().front() == 'x' || path.parent_path().filename() == "crashers";
        const TBytes bytes = ReadAll(path);
        const std::string problem = CheckFile(bytes, broken);
        ++files;
        if (broken && !TPngImage().TryLoadFromBytes(bytes).empty()) ++refusedOnPurpose;
        if (!problem.empty()) failures += "\n  " + fs::relative(path, folder).string() + ": " + problem;
    }
    EXPECT_GT(files, 100) << "too few pictures in " << folder;
    EXPECT_TRUE(failures.empty()) << failures;
    std::cout << "[          ] " << files << " pictures compared with libpng, " << refusedOnPurpose
              << " broken ones refused\n";
}

// libpng writes random pictures in every colour type, bit depth and interlacing,
// with and without tRNS, in sizes that leave Adam7 passes empty or partial and rows
// that end inside a byte; its adaptive filtering uses every filter type.
TEST(PngConformance, EveryFormatLibpngWritesMatchesLibpng) {
    struct TFormat {
        int ColorType;
        std::vector<int> Depths;
        bool CanHaveKey;
    };
    const TFormat formats[] = {{PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}, true},
                               {PNG_COLOR_TYPE_RGB, {8, 16}, true},
                               {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}, true},
                               {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}, false},
                               {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}, false}};
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{1, 1}, {3, 2}, {13, 11}, {70, 3}};
    std::mt19937 random(7);
    auto byte = [&random] { return static_cast<std::uint8_t>(random() & 0xFF); };
    for (const TFormat& format : formats) {
        for (int depth : format.Depths) {
            for (bool interlaced : {false, true}) {
                for (bool key : {false, true}) {
                    if (key && !format.CanHaveKey) continue;
                    for (auto [width, height] : sizes) {
                        TLibpngWrite w;
                        w.Width = width;
                        w.Height = height;
                        w.ColorType = format.ColorType;
                        w.BitDepth = depth;
                        w.Interlaced = interlaced;
                        const int channels = format.ColorType == PNG_COLOR_TYPE_RGB         ? 3
                                             : format.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                             : format.ColorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                                                                                             : 1;
                        const std::size_t rowBytes = (std::size_t{width} * channels * depth + 7) / 8;
                        for (std::uint32_t y = 0; y < height; ++y) {
                            TBytes row(rowBytes);
                            for (auto& b : row) b = byte();
                            w.Rows.push_back(row);
                        }
                        png_color_16 color{};
                        if (format.ColorType == PNG_COLOR_TYPE_PALETTE) {
                            // libpng writes no index beyond the palette; the tRNS
                            // entries cover half of it.
                            const int entries = 1 << depth;
                            for (int i = 0; i < entries; ++i) w.Palette.push_back({byte(), byte(), byte()});
                            if (key)
                                for (int i = 0; i < entries / 2 + 1; ++i) w.PaletteAlpha.push_back(byte());
                        } else if (key) {
                            // The first pixel's colour, so that some pixels match it.
                            const TBytes& r = w.Rows[0];
                            auto sample = [&](int i) -> std::uint16_t {
                                if (depth == 16) return static_cast<std::uint16_t>((r[2 * i] << 8) | r[2 * i + 1]);
                                if (depth == 8) return r[i];
                                return static_cast<std::uint16_t>(r[0] >> (8 - depth));
                            };
                            if (format.ColorType == PNG_COLOR_TYPE_GRAY) {
                                color.gray = sample(0);
                            } else {
                                color.red = sample(0), color.green = sample(1), color.blue = sample(2);
                            }
                            w.TransparentColor = &color;
                        }
                        const TBytes file = LibpngWrite(w);
                        const std::string name = "type " + std::to_string(format.ColorType) + ", depth " +
                                                 std::to_string(depth) + (interlaced ? ", interlaced" : "") +
                                                 (key ? ", tRNS" : "") + ", " + std::to_string(width) + "x" +
                                                 std::to_string(height);
                        ASSERT_FALSE(file.empty()) << name;
                        EXPECT_EQ(CheckFile(file, false), "") << name;
                    }
                }
            }
        }
    }
}

// The fuzz target's seeds are meant to reach every part of the decoder: they must
// stay valid pictures (and they are more formats to compare).
TEST(PngConformance, FuzzSeedsMatchLibpng) {
    int files = 0;
    for (const auto& entry : fs::directory_iterator(QARTO_PNG_FUZZ_SEEDS)) {
        EXPECT_EQ(CheckFile(ReadAll(entry.path()), false), "") << entry.path();
        TPngImage image;
        EXPECT_EQ(image.TryLoadFromBytes(ReadAll(entry.path())), "") << entry.path();
        EXPECT_TRUE(image.Warnings().empty()) << entry.path();
        ++files;
    }
    EXPECT_GE(files, 6);
}
