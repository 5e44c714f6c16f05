#include "os/FileBytes.h"

#include <fstream>
#include <iterator>

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) noexcept {
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (...) {
        // libstdc++ reports a read error (EISDIR, EIO) from inside the iterator.
        return std::nullopt;
    }
}
