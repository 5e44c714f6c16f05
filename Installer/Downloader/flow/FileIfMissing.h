#pragma once
// Writing a file once: used for files the installer carries and reuses across runs.
// Such files lie in folders other programs can write to (the user's temporary
// folder), so one that is there already is reused only when it holds exactly the
// carried bytes.
#include <cstdint>
#include <span>
#include <string>

// Whether the file at `path` holds exactly `bytes` (same length, same content).
// Reads at most bytes.size() + 1 bytes. Blocking; never raises; false when the file
// cannot be read.
bool FileHoldsBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// Makes sure `folder` (with any missing parents) exists and that folder + name
// holds `bytes`: a file already holding exactly them is kept; a missing one, or one
// with any other content (truncated, or put there by someone else), is written.
// The bytes go to a temporary name first and are renamed into place, so an
// interrupted write never leaves a partial file that a later run would take for
// complete. Returns the file's path. Never raises; a caller that needs the content
// checks it again where it uses the file (FileHoldsBytes, or on its open handle).
std::string WriteFileIfMissing(const std::string& folder, const std::string& name,
                               std::span<const std::uint8_t> bytes);
