#include "os/Registry.h"

#include <vector>

#include "os/TextConvert.h"
#include "os/WinHandles.h"
#include "os/Wow64View_win.h"

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    }
    return HKEY_CURRENT_USER;
}

REGSAM ViewFlag(RegistryView view) {
    switch (view) {
        case RegistryView::Default: return Wow64View::kDefaultRegistryView;
        case RegistryView::Bits32: return KEY_WOW64_32KEY;
        case RegistryView::Bits64: return KEY_WOW64_64KEY;
    }
    return Wow64View::kDefaultRegistryView;
}

UniqueRegKey OpenForReading(RegistryRoot root, const std::string& key, RegistryView view) {
    // Keys readable by everyone may still refuse KEY_READ as a whole (it includes
    // notification rights): fall back to what reading values needs.
    const std::wstring path = Widen(key);
    for (REGSAM access : {REGSAM(KEY_READ), REGSAM(KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS), REGSAM(KEY_QUERY_VALUE)}) {
        HKEY h = nullptr;
        const LONG rc = RegOpenKeyExW(RootKey(root), path.c_str(), 0, access | ViewFlag(view), &h);
        if (rc == ERROR_SUCCESS) return UniqueRegKey(h);
        if (rc != ERROR_ACCESS_DENIED) return nullptr;
    }
    return nullptr;
}

UniqueRegKey OpenForWriting(RegistryRoot root, const std::string& key, RegistryView view) {
    HKEY h = nullptr;
    if (RegCreateKeyExW(RootKey(root), Widen(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE | ViewFlag(view), nullptr, &h, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return UniqueRegKey(h);
}

class WinRegistry final : public Registry {
public:
    using Registry::KeyExists;
    using Registry::ReadString;

    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& name,
                                          RegistryView view) const override {
        UniqueRegKey h = OpenForReading(root, key, view);
        if (!h) return std::nullopt;
        std::wstring wname = Widen(name);
        DWORD type = 0, bytes = 0;
        if (RegQueryValueExW(h.get(), wname.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
        // The value may grow between the two calls; retry with the new size.
        std::vector<wchar_t> buf;
        LONG rc;
        do {
            buf.assign(bytes / sizeof(wchar_t) + 1, L'\0');
            bytes = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
            rc = RegQueryValueExW(h.get(), wname.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buf.data()), &bytes);
        } while (rc == ERROR_MORE_DATA);
        if (rc != ERROR_SUCCESS) return std::nullopt;
        // Stored strings need not be terminated; stop at the first NUL if there is one.
        std::wstring_view text(buf.data(), bytes / sizeof(wchar_t));
        if (auto nul = text.find(L'\0'); nul != std::wstring_view::npos) text = text.substr(0, nul);
        return Narrow(text);
    }

    bool KeyExists(RegistryRoot root, const std::string& key, RegistryView view) const override {
        return OpenForReading(root, key, view) != nullptr;
    }

    bool CreateKey(RegistryRoot root, const std::string& key, RegistryView view) override {
        return OpenForWriting(root, key, view) != nullptr;
    }

    bool WriteString(RegistryRoot root, const std::string& key, const std::string& name, const std::string& value,
                     RegistryView view) override {
        UniqueRegKey h = OpenForWriting(root, key, view);
        if (!h) return false;
        const std::wstring data = Widen(value);
        const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(h.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              bytes) == ERROR_SUCCESS;
    }
};

}  // namespace

Registry& WindowsRegistry() {
    static WinRegistry instance;
    return instance;
}
