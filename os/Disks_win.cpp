#include "os/Disks.h"

#include <iterator>

#include "os/TextConvert.h"
#include "os/WinHandles.h"

namespace {

std::uint64_t SizeBelow(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    UniqueFindHandle find(FindFirstFileW((folder + L"\\*.*").c_str(), &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        return 0;
    }
    std::uint64_t total = 0;
    do {
        total += (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        if (data.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY && data.cFileName[0] != L'.')
            total += SizeBelow(folder + L"\\" + data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return total;
}

class WinDisks final : public Disks {
public:
    std::uint64_t FolderSize(const std::string& folder) const override {
        std::wstring root = Widen(folder);
        while (!root.empty() && (root.back() == L'\\' || root.back() == L'/')) root.pop_back();
        return SizeBelow(root);
    }

    DriveType TypeOfDrive(const std::string& root) const override {
        std::wstring path = Widen(root);
        if (!path.empty() && path.back() != L'\\') path += L'\\';
        const UINT type = GetDriveTypeW(path.c_str());
        return type <= DRIVE_RAMDISK ? static_cast<DriveType>(type) : DriveType::Unknown;
    }

    std::optional<std::uint64_t> FreeBytes(const std::string& root) const override {
        // "C:" alone names the current folder of drive C:, which may lie elsewhere (a
        // mounted or linked folder); the drive is its root.
        std::wstring path = Widen(root);
        if (path.size() == 2 && path[1] == L':') path += L'\\';
        ULARGE_INTEGER available{};
        if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return std::nullopt;
        return available.QuadPart;
    }

    std::vector<std::string> DriveRoots() const override {
        // 26 drives of 4 characters ("C:\\" and its terminator) and the final terminator.
        wchar_t buffer[26 * 4 + 2] = {};
        const DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
        std::vector<std::string> roots;
        if (n == 0 || n >= std::size(buffer)) return roots;
        for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) roots.push_back(Narrow(p));
        return roots;
    }
};

}  // namespace

Disks& WindowsDisks() {
    static WinDisks instance;
    return instance;
}
