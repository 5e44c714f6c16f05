#pragma once
// Whole-file reads for small files (configuration, skin pictures, fonts).
#include <filesystem>
#include <optional>
#include <string>

// The file's bytes, or nullopt when it cannot be opened or read (missing, locked,
// a folder). Blocking; never raises.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) noexcept;
