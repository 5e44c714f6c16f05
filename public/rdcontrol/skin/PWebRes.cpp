#include "public/rdcontrol/skin/PWebRes.h"

#include <algorithm>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/ini/IniHashedStringList.h"
#include "public/rdcontrol/skin/SkinPackage.h"

namespace {

// name as a path inside the skin folder ("public/main.ini"), or nullopt when it
// would leave it. A leading "/" after the optional ":/" is an absolute path.
std::optional<std::string> InsideName(const std::string& name) {
    const std::string_view relative = std::string_view(name).substr(name.rfind(":/", 0) == 0 ? 2 : 0);
    if (relative.empty() || relative.front() == '/' || relative.front() == '\\') return std::nullopt;
    auto inside = NormalizeSkinPath(":/" + std::string(relative));
    if (!inside || inside->empty()) return std::nullopt;
    return inside;
}

}  // namespace

std::optional<TResourceData> TResource::Read(const std::string& name) const {
    const std::optional<std::string> inside = InsideName(name);
    if (!inside) return std::nullopt;

    if (FHook)
        if (auto data = FHook(name)) return data;

    if (FLooseFiles && !FSkinFolder.empty())
        // The folder as a package: it reads only what really lies inside it.
        if (const auto folder = TSkinPackage::Open(FSkinFolder))
            if (auto bytes = folder->ReadFile(":/" + *inside)) return TResourceData(bytes->begin(), bytes->end());

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
