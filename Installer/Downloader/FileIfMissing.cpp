#include "Installer/Downloader/FileIfMissing.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "os/Utf8Path.h"

namespace fs = std::filesystem;

std::string WriteFileIfMissing(const std::string& folder, const std::string& name,
                               std::span<const std::uint8_t> bytes) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    path += name;
    try {
        const fs::path target = Utf8Path(path);
        std::error_code ec;
        if (fs::exists(target, ec)) return path;
        fs::create_directories(target.parent_path(), ec);

        fs::path partial = target;
        partial += ".partial";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            out.close();
            if (!out) {
                fs::remove(partial, ec);
                return path;
            }
        }
        fs::rename(partial, target, ec);
        if (ec) fs::remove(partial, ec);
    } catch (...) {
        // Nothing depends on the file being written: callers fall back.
    }
    return path;
}
