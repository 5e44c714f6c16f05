#include "Installer/Downloader/flow/FileIfMissing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/unit/TempDir.h"

namespace fs = std::filesystem;

namespace {
std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
const std::vector<std::uint8_t> kFont = {0, 1, 0, 0, 'f', 'o', 'n', 't', 0xFF};
}  // namespace

TEST(WriteFileIfMissing, CreatesMissingFoldersAndWritesTheBytes) {
    TempDir dir;
    const std::string folder = (dir.path() / "Temp").string() + "\\InstallerFonts\\";
    const std::string path = WriteFileIfMissing(folder, "Roboto_Regular.ttf", kFont);
    EXPECT_EQ(path, folder + "Roboto_Regular.ttf");
    const fs::path written = dir.path() / "Temp" / "InstallerFonts" / "Roboto_Regular.ttf";
    EXPECT_EQ(ReadAll(written), std::string(kFont.begin(), kFont.end()));
    // Nothing but the file itself is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(written.parent_path()), fs::directory_iterator()), 1);
}

// The folder is the user's temporary folder: a file already there is kept only when
// it holds exactly our bytes; anything else is replaced before the elevated process
// reads it.
TEST(WriteFileIfMissing, KeepsOnlyAFileHoldingExactlyTheBytes) {
    const std::string ours(kFont.begin(), kFont.end());
    struct Case {
        const char* name;
        std::string existing;
    } cases[] = {
        {"ours", ours},
        {"truncated", ours.substr(0, 2)},
        {"same length, other bytes", std::string(ours.size(), 'x')},
        {"ours and more", ours + "tail"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string file = (dir.path() / "Roboto_Regular.ttf").string();
        std::ofstream(file, std::ios::binary) << c.existing;
        EXPECT_EQ(FileHoldsBytes(file, kFont), c.existing == ours) << c.name;
        WriteFileIfMissing(dir.path().string(), "Roboto_Regular.ttf", kFont);
        EXPECT_EQ(ReadAll(file), ours) << c.name;
        EXPECT_TRUE(FileHoldsBytes(file, kFont)) << c.name;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1) << c.name;
    }
}

TEST(WriteFileIfMissing, AFolderInThePlaceOfTheFileIsNeverTakenForIt) {
    TempDir dir;
    fs::create_directories(dir.path() / "Roboto_Regular.ttf" / "inside");
    const std::string path = WriteFileIfMissing(dir.path().string(), "Roboto_Regular.ttf", kFont);
    EXPECT_FALSE(FileHoldsBytes(path, kFont));
    EXPECT_TRUE(fs::is_directory(dir.path() / "Roboto_Regular.ttf" / "inside"));
    EXPECT_FALSE(FileHoldsBytes((dir.path() / "missing.ttf").string(), kFont));
}

TEST(WriteFileIfMissing, UnwritableFolderFailsQuietly) {
    TempDir dir;
    // A file where the folder should be: nothing can be created below it.
    std::ofstream(dir.path() / "blocked") << "x";
    EXPECT_NO_THROW(WriteFileIfMissing((dir.path() / "blocked").string() + "\\InstallerFonts", "f.ttf", kFont));
    EXPECT_EQ(ReadAll(dir.path() / "blocked"), "x");
}
