#pragma once
// Writing a file once: used for files the installer carries and reuses across runs.
#include <cstdint>
#include <span>
#include <string>

// Makes sure `folder` (with any missing parents) exists and writes `bytes` to
// folder + name unless a file of that name is already there; an existing file is
// kept as it is, whatever its content. The bytes go to a temporary name first and
// are renamed into place, so an interrupted write never leaves a partial file that
// a later run would take for complete. Returns the file's path. Never raises;
// failures leave the folder as they found it as far as possible.
std::string WriteFileIfMissing(const std::string& folder, const std::string& name,
                               std::span<const std::uint8_t> bytes);
