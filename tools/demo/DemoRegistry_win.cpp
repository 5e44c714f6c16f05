#include "tools/demo/DemoRegistry_win.h"

#include "os/TextConvert.h"
#include "os/WinHandles.h"
#include "tools/demo/DemoSystem_win.h"

namespace demo {
namespace {
UniqueRegKey CreateKey(HKEY root, const std::string& key, REGSAM view) {
    HKEY handle = nullptr;
    const LONG status = RegCreateKeyExW(root, Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_SET_VALUE | view, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) ThrowSystemError("create key " + key, static_cast<DWORD>(status));
    return UniqueRegKey(handle);
}

UniqueRegKey OpenKey(HKEY root, const std::string& key, REGSAM access) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, Widen(key).c_str(), 0, access, &handle) != ERROR_SUCCESS) return nullptr;
    return UniqueRegKey(handle);
}

void SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
              DWORD size, REGSAM view) {
    const UniqueRegKey handle = CreateKey(root, key, view);
    const LONG status =
        RegSetValueExW(handle.get(), Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS) ThrowSystemError("set " + key + "\\" + name, static_cast<DWORD>(status));
}
}  // namespace

void SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                  REGSAM view) {
    const std::wstring wide = Widen(value);
    SetValue(root, key, name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)), view);
}

void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value, REGSAM view) {
    SetValue(root, key, name, REG_DWORD, &value, sizeof value, view);
}

void DeleteRegValue(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    const UniqueRegKey handle = OpenKey(root, key, KEY_SET_VALUE | view);
    if (!handle) return;
    const LONG status = RegDeleteValueW(handle.get(), Widen(name).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ThrowSystemError("delete " + key + "\\" + name, static_cast<DWORD>(status));
}

void DeleteRegTree(HKEY root, const std::string& key, REGSAM view) {
    const std::size_t slash = key.find_last_of('\\');
    const std::string parent = slash == std::string::npos ? std::string() : key.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? key : key.substr(slash + 1);
    const UniqueRegKey handle = OpenKey(root, parent, KEY_ALL_ACCESS | view);
    if (!handle) return;
    const LONG status = RegDeleteTreeW(handle.get(), Widen(leaf).c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ThrowSystemError("delete key " + key, static_cast<DWORD>(status));
}

std::optional<std::string> ReadRegString(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    const UniqueRegKey handle = OpenKey(root, key, KEY_QUERY_VALUE | view);
    if (!handle) return std::nullopt;
    const std::wstring wideName = Widen(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(handle.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(handle.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(size / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return Narrow(value);
}

std::optional<DWORD> ReadRegDword(HKEY root, const std::string& key, const std::string& name, REGSAM view) {
    const UniqueRegKey handle = OpenKey(root, key, KEY_QUERY_VALUE | view);
    if (!handle) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(handle.get(), Widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

}  // namespace demo
