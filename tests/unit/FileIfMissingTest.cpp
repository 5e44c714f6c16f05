#include "Installer/Downloader/FileIfMissing.h"

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

TEST(WriteFileIfMissing, KeepsAnExistingFileEvenWhenTruncated) {
    TempDir dir;
    std::ofstream(dir.path() / "Roboto_Regular.ttf", std::ios::binary) << "tr";
    WriteFileIfMissing(dir.path().string(), "Roboto_Regular.ttf", kFont);
    EXPECT_EQ(ReadAll(dir.path() / "Roboto_Regular.ttf"), "tr");
}

TEST(WriteFileIfMissing, UnwritableFolderFailsQuietly) {
    TempDir dir;
    // A file where the folder should be: nothing can be created below it.
    std::ofstream(dir.path() / "blocked") << "x";
    EXPECT_NO_THROW(WriteFileIfMissing((dir.path() / "blocked").string() + "\\InstallerFonts", "f.ttf", kFont));
    EXPECT_EQ(ReadAll(dir.path() / "blocked"), "x");
}
