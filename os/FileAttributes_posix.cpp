#include "os/FileAttributes.h"

#include <filesystem>

#include "os/Utf8Path.h"

namespace fs = std::filesystem;

std::optional<std::uint32_t> GetFileAttributesOf(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(Utf8Path(path), ec);
    if (ec || !fs::exists(st)) return std::nullopt;
    std::uint32_t a = fs::is_directory(st) ? FileAttribute::Directory : FileAttribute::Archive;
    if ((st.permissions() & fs::perms::owner_write) == fs::perms::none) a |= FileAttribute::ReadOnly;
    return a;
}

bool SetFileAttributesOf(const std::string& path, std::uint32_t attributes) {
    std::error_code ec;
    const auto write = fs::perms::owner_write;
    fs::permissions(Utf8Path(path), write,
                    (attributes & FileAttribute::ReadOnly) ? fs::perm_options::remove : fs::perm_options::add, ec);
    return !ec;
}
