#include "Installer/Downloader/InstallResourceFont.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Installer/Downloader/FileIfMissing.h"
#include "os/TextConvert.h"
#include "os/WinHandles.h"
#include "services/SystemInfo.h"

namespace {

// Opens `file` for reading, sharing it with readers only, and checks on that handle
// that it holds exactly `bytes`. The open handle, or null.
UniqueHandle OpenHolding(const std::wstring& file, std::span<const std::uint8_t> bytes) {
    UniqueHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) return UniqueHandle();
    LARGE_INTEGER size{};
    if (GetFileType(handle.get()) != FILE_TYPE_DISK || !GetFileSizeEx(handle.get(), &size) ||
        size.QuadPart != static_cast<LONGLONG>(bytes.size()))
        return UniqueHandle();
    std::vector<std::uint8_t> content(bytes.size());
    std::size_t have = 0;
    while (have < content.size()) {
        DWORD read = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(content.size() - have, 1u << 20));
        if (!ReadFile(handle.get(), content.data() + have, want, &read, nullptr) || read == 0) return UniqueHandle();
        have += read;
    }
    if (!std::equal(bytes.begin(), bytes.end(), content.begin())) return UniqueHandle();
    return handle;
}

}  // namespace

UniqueHandle InstallResourceFont(const OsServices& os) {
    try {
        std::span<const std::uint8_t> bytes;
        if (HRSRC info = FindResourceW(nullptr, L"ROBOTO_REGULAR", MAKEINTRESOURCEW(10) /*RT_RCDATA*/)) {
            if (HGLOBAL data = LoadResource(nullptr, info))
                bytes = {static_cast<const std::uint8_t*>(LockResource(data)), SizeofResource(nullptr, info)};
        }
        // Without the resource nothing can tell a file in the temporary folder (which
        // its user may have put there for this elevated process to parse) from ours.
        if (bytes.empty()) return UniqueHandle();
        const std::string folder = GetTempDir(os) + "InstallerFonts\\";
        const std::wstring wfile = Widen(WriteFileIfMissing(folder, "Roboto_Regular.ttf", bytes));
        if (UniqueHandle locked = OpenHolding(wfile, bytes)) {
            if (AddFontResourceExW(wfile.c_str(), FR_PRIVATE, nullptr) != 0) return locked;
            OutputDebugStringW((L"AddFontResourceEx Failed: " + wfile).c_str());
        }
        // The file is not ours and could not be made ours (someone holds it): the
        // font comes from the program's own resource instead, private to this process
        // until it ends.
        DWORD fonts = 0;
        if (!AddFontMemResourceEx(const_cast<std::uint8_t*>(bytes.data()), static_cast<DWORD>(bytes.size()), nullptr,
                                  &fonts))
            OutputDebugStringW(L"AddFontMemResourceEx Failed");
    } catch (...) {
    }
    return UniqueHandle();
}
