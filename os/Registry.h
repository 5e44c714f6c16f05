#pragma once
// Read access to the system registry. Blocking, cheap; no ownership transfer.
#include <optional>
#include <string>

enum class RegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

// The view of the registry a key is opened in on 64-bit Windows. `Default` is what
// the 32-bit installer gets without naming a view: the 32-bit view of the keys
// Windows redirects (HKLM\SOFTWARE, HKCR\CLSID, ...). Keys that are not redirected
// look the same in every view.
enum class RegistryView { Default, Bits32, Bits64 };

class Registry {
public:
    virtual ~Registry() = default;
    // A string value (REG_SZ or REG_EXPAND_SZ, not expanded) as UTF-8. An empty
    // `name` reads the key's default value. nullopt when the key or value is
    // missing or is not a string.
    virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& name, RegistryView view) const = 0;
    virtual bool KeyExists(RegistryRoot root, const std::string& key, RegistryView view) const = 0;

    std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                          const std::string& name) const {
        return ReadString(root, key, name, RegistryView::Default);
    }
    bool KeyExists(RegistryRoot root, const std::string& key) const {
        return KeyExists(root, key, RegistryView::Default);
    }
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Registry& WindowsRegistry();
#endif
