// TIniFile through the system's private-profile functions.
#include <windows.h>

#include <vector>

#include "os/TextConvert.h"
#include "public/rdcontrol/ini/IniFileNames.h"
#include "public/rdcontrol/ini/IniFile.h"

namespace {

std::wstring W(std::string_view s) { return Widen(s); }

// A double-NUL-terminated list as the profile functions return it.
std::vector<std::string> SplitNulList(const wchar_t* p, size_t length) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (p[i] != L'\0') continue;
        if (i > start) items.push_back(Narrow(std::wstring_view(p + start, i - start)));
        start = i + 1;
    }
    return items;
}

// Calls `query(buffer, size)` with a buffer that grows while the answer fills it
// (the functions report a full buffer as size - 1, or size - 2 for lists).
template <class Query>
std::vector<wchar_t> GrowingQuery(DWORD initial, DWORD fullMargin, double growth, Query query, DWORD& length) {
    std::vector<wchar_t> buffer(initial);
    for (;;) {
        length = query(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length + fullMargin < buffer.size()) return buffer;
        buffer.assign(static_cast<size_t>(static_cast<double>(buffer.size()) * growth) + 1, L'\0');
    }
}

}  // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const std::wstring s = W(section), k = W(key), d = W(def), f = W(NormalizeIniFileName(FFileName));
    DWORD length = 0;
    auto buffer = GrowingQuery(2048, 1, 2.0, [&](wchar_t* b, DWORD n) {
        return GetPrivateProfileStringW(s.c_str(), k.c_str(), d.c_str(), b, n, f.c_str());
    }, length);
    return Narrow(std::wstring_view(buffer.data(), length));
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string fileName = PrepareForWrite();
    return WritePrivateProfileStringW(W(section).c_str(), W(key).c_str(), W(value).c_str(), W(fileName).c_str()) != 0;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    const std::wstring s = W(section), f = W(NormalizeIniFileName(FFileName));
    DWORD length = 0;
    auto buffer = GrowingQuery(16384, 2, 1.5, [&](wchar_t* b, DWORD n) {
        return GetPrivateProfileStringW(s.c_str(), nullptr, L"", b, n, f.c_str());
    }, length);
    return SplitNulList(buffer.data(), length);
}

std::vector<std::string> TIniFile::ReadSections() const {
    const std::wstring f = W(NormalizeIniFileName(FFileName));
    DWORD length = 0;
    auto buffer = GrowingQuery(16384, 2, 1.5, [&](wchar_t* b, DWORD n) {
        return GetPrivateProfileSectionNamesW(b, n, f.c_str());
    }, length);
    return SplitNulList(buffer.data(), length);
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
    const std::wstring s = W(section), f = W(NormalizeIniFileName(FFileName));
    DWORD length = 0;
    auto buffer = GrowingQuery(16384, 2, 1.5, [&](wchar_t* b, DWORD n) {
        return GetPrivateProfileSectionW(s.c_str(), b, n, f.c_str());
    }, length);
    return SplitNulList(buffer.data(), length);
}

bool TIniFile::EraseSection(std::string_view section) {
    const std::string fileName = PrepareForWrite();
    return WritePrivateProfileStringW(W(section).c_str(), nullptr, nullptr, W(fileName).c_str()) != 0;
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::string fileName = PrepareForWrite();
    return WritePrivateProfileStringW(W(section).c_str(), W(key).c_str(), nullptr, W(fileName).c_str()) != 0;
}

void TIniFile::UpdateFile() {
    const std::string fileName = PrepareForWrite();
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, W(fileName).c_str());
}
