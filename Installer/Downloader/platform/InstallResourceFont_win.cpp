#include "Installer/Downloader/platform/InstallResourceFont.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Installer/Downloader/flow/FileIfMissing.h"
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

// Whether `path` is a link of any kind (junction, symbolic link, any other reparse
// point), asked of the name itself. Its path attributes and those of a handle opened
// without following it are both asked: Wine tells a Unix symbolic link only by the
// former.
bool IsLink(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    UniqueHandle h(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                               nullptr));
    if (h.get() == INVALID_HANDLE_VALUE) return false;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    return GetFileInformationByHandleEx(h.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
           (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The font folder, made when missing and held open without sharing deletion, so that
// while the font is written and registered nobody renames it or puts a link in its
// place; null when it is a link or no folder at all.
UniqueHandle HoldRealFolder(const std::wstring& folder) {
    CreateDirectoryW(folder.c_str(), nullptr);  // fails harmlessly when anything is there
    if (IsLink(folder)) return UniqueHandle();
    UniqueHandle h(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (h.get() == INVALID_HANDLE_VALUE) return UniqueHandle();
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(h.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        IsLink(folder))
        return UniqueHandle();
    return h;
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
        // The folder and the file must be what they say: through a link the elevated
        // process would write the font wherever its user pointed it.
        const std::string folder = GetTempDir(os) + "InstallerFonts\\";
        const std::wstring wfolder = Widen(folder.substr(0, folder.size() - 1));
        const std::wstring wfile = Widen(folder + "Roboto_Regular.ttf");
        const UniqueHandle pinned = HoldRealFolder(wfolder);
        if (!pinned || IsLink(wfile) || IsLink(wfile + L".partial")) {
            OutputDebugStringW((L"font folder or file is a link, not written: " + wfile).c_str());
        } else {
            WriteFileIfMissing(folder, "Roboto_Regular.ttf", bytes);
            if (UniqueHandle locked = OpenHolding(wfile, bytes)) {
                if (AddFontResourceExW(wfile.c_str(), FR_PRIVATE, nullptr) != 0) return locked;
                OutputDebugStringW((L"AddFontResourceEx Failed: " + wfile).c_str());
            }
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
