#include "Installer/Downloader/flow/FileIfMissing.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "os/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

bool HoldsBytes(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // One byte more than expected tells a longer file from an equal one.
    std::vector<char> content(bytes.size() + 1);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    const auto length = static_cast<std::size_t>(in.gcount());
    return length == bytes.size() &&
           std::equal(bytes.begin(), bytes.end(), content.begin(),
                      [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
}

}  // namespace

bool FileHoldsBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    try {
        std::error_code ec;
        const fs::path target = Utf8Path(path);
        return fs::is_regular_file(target, ec) && HoldsBytes(target, bytes);
    } catch (...) {
        return false;
    }
}

std::string WriteFileIfMissing(const std::string& folder, const std::string& name,
                               std::span<const std::uint8_t> bytes) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += name;
    try {
        const fs::path target = Utf8Path(path);
        std::error_code ec;
        if (fs::is_regular_file(target, ec) && HoldsBytes(target, bytes)) return path;
        fs::create_directories(target.parent_path(), ec);

        fs::path partial = target;
        partial += ".partial";
        fs::remove(partial, ec);
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                fs::remove(partial, ec);
                return path;
            }
        }
        // Whatever is there in its place goes first (renaming over an existing file
        // is not possible everywhere); a folder there stays and the write fails.
        if (!fs::is_directory(target, ec)) fs::remove(target, ec);
        fs::rename(partial, target, ec);
        if (ec) fs::remove(partial, ec);
    } catch (...) {
        // Nothing depends on the file being written: callers fall back.
    }
    return path;
}
