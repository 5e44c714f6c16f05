#pragma once
// Copying a file another program holds open. Windows' own copy opens the source with
// the sharing that lets it read a file whose owner allows deletion but not writing,
// which a plain open for reading (sharing read and write) cannot.
#include <filesystem>

// Copies `from` to `to`, replacing `to`. False on any failure. Blocking; never raises.
bool CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) noexcept;
