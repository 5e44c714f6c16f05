#pragma once
// Access to the system registry. Blocking, cheap; no ownership transfer.
//
// Key paths are relative to their root and never start with "\". Every key is
// opened with the least access the operation needs: reads try full read access, then
// query-and-enumerate, then query only, so keys with tight permissions still read.
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
    // Opens the key for reading and writing, creating it and its missing parents.
    // False when that is refused (writing below HKLM needs administrator rights).
    virtual bool CreateKey(RegistryRoot root, const std::string& key, RegistryView view) = 0;
    // Writes a REG_SZ value, creating the key as CreateKey does. False on failure.
    virtual bool WriteString(RegistryRoot root, const std::string& key, const std::string& name,
                             const std::string& value, RegistryView view) = 0;

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
