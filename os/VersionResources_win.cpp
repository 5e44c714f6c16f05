#include "os/VersionResources.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "os/TextConvert.h"

namespace {

constexpr const wchar_t* kNames[11] = {
    L"Comments",        L"CompanyName",      L"FileDescription", L"FileVersion",
    L"InternalName",    L"LegalCopyright",   L"LegalTrademarks", L"OriginalFileName",
    L"ProductName",     L"ProductVersion",   L"WOW Version"};

class WinVersionResources final : public VersionResources {
public:
    std::optional<FileVersionRecord> Read(const std::string& file) const override {
        std::wstring path = Widen(file);
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        if (size == 0) return std::nullopt;
        std::vector<BYTE> block(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;

        struct Translation {
            WORD language, codePage;
        };
        Translation* translations = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                            reinterpret_cast<void**>(&translations), &length) ||
            length < sizeof(Translation))
            return std::nullopt;

        wchar_t prefix[64];
        std::swprintf(prefix, 64, L"\\StringFileInfo\\%04x%04x\\", translations[0].language,
                      translations[0].codePage);
        FileVersionRecord record;
        for (size_t i = 0; i < 11; ++i) {
            wchar_t* value = nullptr;
            UINT chars = 0;
            std::wstring query = std::wstring(prefix) + kNames[i];
            if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars) && value)
                record.strings[i] = Narrow(std::wstring_view(value, chars ? wcsnlen(value, chars) : 0));
        }
        VS_FIXEDFILEINFO* fixed = nullptr;
        if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
            length >= sizeof(VS_FIXEDFILEINFO)) {
            record.fixedFileVersion = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
            record.hasFixedFileVersion = true;
        }
        return record;
    }
};

}  // namespace

VersionResources& WindowsVersionResources() {
    static WinVersionResources instance;
    return instance;
}
