#pragma once
// Windows file attributes of a file, where the platform has them. On Windows these
// are the real attributes; elsewhere read-only maps to the owner's write permission
// and the other bits read as 0 and are ignored when set, which is enough for code
// that clears and restores them around a write.
#include <cstdint>
#include <optional>
#include <string>

namespace FileAttribute {
constexpr std::uint32_t ReadOnly = 0x1;
constexpr std::uint32_t Hidden = 0x2;
constexpr std::uint32_t System = 0x4;
constexpr std::uint32_t Directory = 0x10;
constexpr std::uint32_t Archive = 0x20;
constexpr std::uint32_t Normal = 0x80;
}  // namespace FileAttribute

// nullopt when the file does not exist or cannot be queried.
std::optional<std::uint32_t> GetFileAttributesOf(const std::string& path);
bool SetFileAttributesOf(const std::string& path, std::uint32_t attributes);
