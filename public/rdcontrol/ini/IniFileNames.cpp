#include "public/rdcontrol/ini/IniFileNames.h"

#include <filesystem>
#include <system_error>

#include "os/Utf8Path.h"

namespace fs = std::filesystem;

namespace {
size_t LastSeparator(const std::string& s) { return s.find_last_of("\\/"); }
}  // namespace

std::string NormalizeIniFileName(const std::string& fileName) {
    if (LastSeparator(fileName) == std::string::npos && fileName.find(':') == std::string::npos)
        return ".\\" + fileName;
    return fileName;
}

bool EnsureIniFolder(const std::string& fileName) {
    const size_t sep = LastSeparator(fileName);
    if (sep == std::string::npos) return true;
    const std::string folder = fileName.substr(0, sep + 1);
    if (folder == "\\" || folder == ".\\" || folder == "/" || folder == "./") return true;
    const fs::path path = Utf8Path(folder.substr(0, folder.size() - 1));
    for (int attempt = 0; attempt < 101; ++attempt) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) return true;
        fs::create_directories(path, ec);
    }
    std::error_code ec;
    return fs::is_directory(path, ec);
}
