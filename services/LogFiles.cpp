#include "services/LogFiles.h"

#include <filesystem>
#include <system_error>

#include "os/Utf8Path.h"

void WriteInstallerLog(const std::string& /*message*/, const std::string& /*logFileName*/) {}

std::optional<std::string> CrashReportLogAttachment(const std::string& commonAppDataDir) {
    if (commonAppDataDir.empty()) return std::nullopt;
    std::string path = commonAppDataDir;
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    path += "Merrow\\QuillDownloader\\Downloader.log";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(path), ec)) return std::nullopt;
    return path;
}
