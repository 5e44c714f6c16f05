#include "os/Disks.h"

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
};

}  // namespace

Disks& WindowsDisks() {
    static WinDisks instance;
    return instance;
}
