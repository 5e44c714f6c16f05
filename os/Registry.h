#pragma once
// Read access to the system registry. Blocking, cheap; no ownership transfer.
#include <optional>
#include <string>

enum class RegistryRoot { LocalMachine, CurrentUser, ClassesRoot };

class Registry {
public:
    virtual ~Registry() = default;
    // A string value (REG_SZ or REG_EXPAND_SZ, not expanded) as UTF-8. An empty
    // `name` reads the key's default value. nullopt when the key or value is
    // missing or is not a string.
    virtual std::optional<std::string> ReadString(RegistryRoot root, const std::string& key,
                                                  const std::string& name) const = 0;
    virtual bool KeyExists(RegistryRoot root, const std::string& key) const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Registry& WindowsRegistry();
#endif
