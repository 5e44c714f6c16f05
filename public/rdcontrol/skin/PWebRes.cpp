#include "public/rdcontrol/skin/PWebRes.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/ini/IniHashedStringList.h"

namespace fs = std::filesystem;

std::optional<TResourceData> TResource::Read(const std::string& name) const {
    if (FHook)
        if (auto data = FHook(name)) return data;

    if (FLooseFiles && !FSkinFolder.empty()) {
        std::string relative = name.rfind(":/", 0) == 0 ? name.substr(2) : name;
        std::string path = FSkinFolder;
        if (path.back() != '\\' && path.back() != '/') path += '\\';
        path += relative;
        std::error_code ec;
        const fs::path file = Utf8Path(path);
        if (fs::is_regular_file(file, ec))
            if (auto bytes = ReadFileBytes(file)) return TResourceData(bytes->begin(), bytes->end());
    }

    if (FPackage) return FPackage(name);
    return std::nullopt;
}

std::string TRdValueStrings::Value(std::string_view name) const {
    for (const std::string& line : FLines)
        if (line.find('=') != std::string::npos && SameTextNoCase(TIniHashedStringList::NameOf(line), name))
            return std::string(TIniHashedStringList::ValueOf(line));
    return {};
}

void TRdValueStrings::SetValue(std::string_view name, std::string_view value) {
    std::string line = std::string(name) + "=" + std::string(value);
    for (std::string& existing : FLines)
        if (existing.find('=') != std::string::npos && SameTextNoCase(TIniHashedStringList::NameOf(existing), name)) {
            existing = std::move(line);
            return;
        }
    FLines.push_back(std::move(line));
}

void TRdValueStrings::Assign(const std::vector<std::pair<std::string, const void*>>& entries) {
    if (std::any_of(entries.begin(), entries.end(), [](const auto& e) { return e.second != nullptr; }))
        throw std::invalid_argument("not support strings contain object!!!");
    FLines.clear();
    for (const auto& e : entries) FLines.push_back(e.first);
}
