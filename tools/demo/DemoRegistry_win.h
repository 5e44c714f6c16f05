#pragma once
// Registry writes of the demo programs. Windows only; names and values are UTF-8.
// `view` is 0 (the program's own view) or KEY_WOW64_32KEY / KEY_WOW64_64KEY, so a
// 64-bit build writes where the 32-bit package would. Writers throw DemoError.
#include <windows.h>

#include <optional>
#include <string>

namespace demo {

// Creates the key as needed. An empty `name` is the key's default value.
void SetRegString(HKEY root, const std::string& key, const std::string& name, const std::string& value,
                  REGSAM view = 0);
void SetRegDword(HKEY root, const std::string& key, const std::string& name, DWORD value, REGSAM view = 0);

// Removes a value or a key with everything below it; nothing to remove is no error.
void DeleteRegValue(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);
void DeleteRegTree(HKEY root, const std::string& key, REGSAM view = 0);

// Reads; nullopt when the key or value is missing or of another type.
std::optional<std::string> ReadRegString(HKEY root, const std::string& key, const std::string& name,
                                         REGSAM view = 0);
std::optional<DWORD> ReadRegDword(HKEY root, const std::string& key, const std::string& name, REGSAM view = 0);

}  // namespace demo
