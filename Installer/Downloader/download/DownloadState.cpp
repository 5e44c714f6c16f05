#include "Installer/Downloader/download/DownloadState.h"

#include <algorithm>
#include <filesystem>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/ini/IniFile.h"

std::int64_t PartByteCount(std::int64_t start, std::int64_t end, std::int64_t length) {
    const std::int64_t last = std::min(end, length - 1);
    return last < start ? 0 : last - start + 1;
}

namespace {

// A count read back: a whole number within [low, high], else nullopt.
std::optional<std::int64_t> Count(const TIniFile& state, const std::string& section, const char* key,
                                  std::int64_t low, std::int64_t high) {
    const std::optional<long long> value = ParseInteger(state.ReadString(section, key, ""));
    if (!value || *value < low || *value > high) return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

}  // namespace

std::optional<TDownloadState> ReadDownloadState(const std::string& file) {
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(Utf8Path(file), ec)) return std::nullopt;
    const TIniFile state(file);
    TDownloadState result;
    const auto length = Count(state, "GLOBAL", "ContentLength", 1, kMaxDownloadBytes);
    const auto partCount = Count(state, "GLOBAL", "PartCount", 1, kMaxStateParts);
    if (!length || !partCount) return std::nullopt;
    result.contentLength = *length;
    result.url = state.ReadString("GLOBAL", "Url", "");
    result.md5 = state.ReadString("GLOBAL", "DownloadConfigMD5", "");

    std::int64_t expectedStart = 0;
    for (std::int64_t i = 0; i < *partCount; ++i) {
        const std::string section = "PART_" + std::to_string(i);
        TSavedPart part;
        const auto start = Count(state, section, "StartOffset", expectedStart, expectedStart);
        const auto end = Count(state, section, "EndOffset", expectedStart, *length);
        if (!start || !end) return std::nullopt;
        part.startOffset = *start;
        part.endOffset = *end;
        const auto data = Count(state, section, "DataCount", 0, PartByteCount(*start, *end, *length));
        if (!data) return std::nullopt;
        part.dataCount = *data;
        part.url = state.ReadString(section, "URL", "");
        result.parts.push_back(std::move(part));
        expectedStart = *end + 1;  // at most kMaxDownloadBytes + 1
    }
    // The parts must reach the end of the resource.
    if (expectedStart < *length) return std::nullopt;
    return result;
}
