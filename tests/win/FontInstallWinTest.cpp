// The dialog font: written once below the temporary folder, reused afterwards, and
// usable by GDI once registered.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Installer/Downloader/InstallResourceFont.h"
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

    InstallResourceFont(WindowsOsServices());

    ASSERT_TRUE(fs::exists(FontFile()));
    EXPECT_EQ(fs::file_size(FontFile()), ResourceSize());
    EXPECT_EQ(FaceSelectedFor(L"Roboto"), L"Roboto");
}

TEST(InstallResourceFont, LeavesAnExistingTruncatedFileUntouched) {
    fs::create_directories(FontFolder());
    std::ofstream(FontFile(), std::ios::binary | std::ios::trunc) << "trunc";

    InstallResourceFont(WindowsOsServices());

    EXPECT_EQ(fs::file_size(FontFile()), 5u);
    fs::remove(FontFile());
}

TEST(InstallResourceFont, WritesIntoAnExistingEmptyFolder) {
    fs::remove_all(FontFolder());
    fs::create_directories(FontFolder());
    InstallResourceFont(WindowsOsServices());
    EXPECT_EQ(fs::file_size(FontFile()), ResourceSize());
}
