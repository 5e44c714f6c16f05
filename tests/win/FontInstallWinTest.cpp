// The dialog font: written below the temporary folder, reused only while it holds
// exactly the resource's bytes, locked while registered, and usable by GDI.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Installer/Downloader/platform/InstallResourceFont.h"
#include "os/Utf8Path.h"
#include "services/SystemInfo.h"

namespace fs = std::filesystem;

namespace {
fs::path FontFolder() { return Utf8Path(GetTempDir(WindowsOsServices()) + "InstallerFonts"); }
fs::path FontFile() { return FontFolder() / "Roboto_Regular.ttf"; }

std::uintmax_t ResourceSize() {
    HRSRC info = FindResourceW(nullptr, L"ROBOTO_REGULAR", MAKEINTRESOURCEW(10));
    return info ? SizeofResource(nullptr, info) : 0;
}

std::wstring FaceSelectedFor(const wchar_t* requested) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, requested);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return face;
}
}  // namespace

TEST(InstallResourceFont, CreatesFolderWritesFontAndRegistersIt) {
    fs::remove_all(FontFolder());
    ASSERT_GT(ResourceSize(), 100000u);

    const UniqueHandle lock = InstallResourceFont(WindowsOsServices());

    ASSERT_TRUE(lock);
    ASSERT_TRUE(fs::exists(FontFile()));
    EXPECT_EQ(fs::file_size(FontFile()), ResourceSize());
    EXPECT_EQ(FaceSelectedFor(L"Roboto"), L"Roboto");
    // While the lock is held nobody changes the registered file.
    UniqueHandle writer(CreateFileW(FontFile().wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(writer.get(), INVALID_HANDLE_VALUE);
}

// The temporary folder belongs to the user who started the elevated installer: a
// file there that is not ours is replaced before anything reads it.
TEST(InstallResourceFont, ReplacesAFileThatIsNotOurs) {
    fs::create_directories(FontFolder());
    std::ofstream(FontFile(), std::ios::binary | std::ios::trunc) << "trunc";

    const UniqueHandle lock = InstallResourceFont(WindowsOsServices());

    EXPECT_TRUE(lock);
    EXPECT_EQ(fs::file_size(FontFile()), ResourceSize());
}

// A planted file held open so that it cannot be replaced is never registered: the
// font then comes from memory.
TEST(InstallResourceFont, NeverRegistersAFileItCannotReplace) {
    fs::remove_all(FontFolder());
    fs::create_directories(FontFolder());
    std::ofstream(FontFile(), std::ios::binary) << "planted";
    UniqueHandle holder(
        CreateFileW(FontFile().wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);

    const UniqueHandle lock = InstallResourceFont(WindowsOsServices());

    EXPECT_FALSE(lock);
    holder.reset();
    EXPECT_EQ(fs::file_size(FontFile()), 7u);
    fs::remove(FontFile());
}

TEST(InstallResourceFont, WritesIntoAnExistingEmptyFolder) {
    fs::remove_all(FontFolder());
    fs::create_directories(FontFolder());
    const UniqueHandle lock = InstallResourceFont(WindowsOsServices());
    EXPECT_TRUE(lock);
    EXPECT_EQ(fs::file_size(FontFile()), ResourceSize());
}

// A user can put a link in place of the font folder in the temporary folder: the
// elevated installer never writes through it, and the font comes from memory. The
// link is a Unix symbolic link made by the ctest fixture win_folder_links_fixture.
TEST(InstallResourceFont, NeverWritesThroughALinkInPlaceOfTheFolder) {
    if (GetFileAttributesW(L"C:\\qarto-links\\temp") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no links: run through ctest (fixture win_folder_links_fixture)";
    ASSERT_NE(GetFileAttributesW(L"C:\\qarto-links\\temp\\InstallerFonts") & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    wchar_t tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH);
    GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", L"C:\\qarto-links\\temp\\");
    SetEnvironmentVariableW(L"TEMP", L"C:\\qarto-links\\temp\\");
    const UniqueHandle lock = InstallResourceFont(WindowsOsServices());
    SetEnvironmentVariableW(L"TMP", tmp);
    SetEnvironmentVariableW(L"TEMP", temp);

    EXPECT_FALSE(lock);
    EXPECT_FALSE(fs::exists(L"C:\\qarto-links\\target\\Roboto_Regular.ttf"));
    EXPECT_FALSE(fs::exists(L"C:\\qarto-links\\target\\Roboto_Regular.ttf.partial"));
    EXPECT_TRUE(fs::exists(L"C:\\qarto-links\\target\\keep"));
}
