#include "public/rdcontrol/skin/SkinPackage.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"

namespace fs = std::filesystem;

namespace {

bool OnlyDotsAndBlanks(std::string_view segment) {
    return segment.find_first_not_of(". \t") == std::string_view::npos;
}

// Whether `file` (canonical) lies inside `folder` (canonical).
bool IsInside(const fs::path& folder, const fs::path& file) {
    auto f = folder.begin();
    auto p = file.begin();
    for (; f != folder.end(); ++f, ++p) {
        if (p == file.end() || *f != *p) return false;
    }
    return p != file.end();
}

}  // namespace

std::optional<std::string> NormalizeSkinPath(std::string_view path) {
    if (path.substr(0, 2) != ":/") return std::nullopt;
    path.remove_prefix(2);
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view segment = path.substr(start, end - start);
        start = end + 1;
        if (segment.empty() || segment == ".") continue;
        // ".." climbs out; "..." and blank-only names are what Windows trims to
        // ".." or to nothing; "\" and ":" are separators, drives and streams there.
        if (OnlyDotsAndBlanks(segment)) return std::nullopt;
        for (char ch : segment) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x20 || ch == '\\' || ch == ':') return std::nullopt;
        }
        if (!out.empty()) out += '/';
        out += segment;
    }
    return out;
}

std::optional<TSkinPackage> TSkinPackage::Open(const std::string& folder) {
    std::error_code ec;
    const fs::path path = fs::canonical(Utf8Path(folder), ec);
    if (ec || !fs::is_directory(path, ec)) return std::nullopt;
    TSkinPackage package;
    package.FFolder = PathUtf8(path);
    return package;
}

std::optional<TSkinPackage> TSkinPackage::Resolve(const std::string& baseFolder, const std::string& name,
                                                  bool allowAbsolute) {
    if (name.empty()) return std::nullopt;
    const fs::path given = Utf8Path(name);
    if (given.is_absolute()) {
        if (!allowAbsolute) return std::nullopt;
    } else {
        if (given.has_root_name() || given.has_root_directory()) return std::nullopt;
        for (const fs::path& part : given)
            if (part == "..") return std::nullopt;
    }
    std::vector<std::string> candidates{name};
    if (!given.has_extension()) {
        candidates.push_back(name + ".rcc");
        candidates.push_back(name + ".dll");
    }
    for (const std::string& candidate : candidates) {
        const fs::path path = given.is_absolute() ? Utf8Path(candidate) : Utf8Path(baseFolder) / Utf8Path(candidate);
        if (auto package = Open(PathUtf8(path))) return package;
    }
    return std::nullopt;
}

std::optional<std::string> TSkinPackage::ReadFile(std::string_view path) const {
    const std::optional<std::string> relative = NormalizeSkinPath(path);
    if (!relative || relative->empty()) return std::nullopt;
    std::error_code ec;
    const fs::path folder = Utf8Path(FFolder);
    const fs::path file = fs::canonical(folder / Utf8Path(*relative), ec);
    if (ec || !IsInside(folder, file) || !fs::is_regular_file(file, ec)) return std::nullopt;
    return ReadFileBytes(file);
}

bool TSkinPackage::Exists(std::string_view path) const {
    const std::optional<std::string> relative = NormalizeSkinPath(path);
    if (!relative || relative->empty()) return false;
    std::error_code ec;
    const fs::path folder = Utf8Path(FFolder);
    const fs::path file = fs::canonical(folder / Utf8Path(*relative), ec);
    return !ec && IsInside(folder, file) && fs::is_regular_file(file, ec);
}

std::vector<std::string> TSkinPackage::List(std::string_view prefix) const {
    std::vector<std::string> out;
    const std::optional<std::string> relative = NormalizeSkinPath(prefix);
    if (!relative) return out;
    std::error_code ec;
    const fs::path folder = Utf8Path(FFolder);
    const fs::path start = relative->empty() ? folder : fs::canonical(folder / Utf8Path(*relative), ec);
    if (ec || (start != folder && !IsInside(folder, start)) || !fs::is_directory(start, ec)) return out;
    fs::recursive_directory_iterator it(start, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        const fs::path file = fs::canonical(it->path(), fileEc);
        if (fileEc || !IsInside(folder, file)) continue;
        const std::u8string name = it->path().lexically_relative(folder).generic_u8string();
        out.push_back(":/" + std::string(name.begin(), name.end()));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<const TSkinPackage*> TSkinPackageSet::Packages() const {
    std::vector<const TSkinPackage*> out;
    if (FOwn) out.push_back(&*FOwn);
    for (const TSkinPackage& p : FPublic) out.push_back(&p);
    return out;
}

std::optional<std::string> TSkinPackageSet::ReadFile(std::string_view path) const {
    for (const TSkinPackage* p : Packages())
        if (auto bytes = p->ReadFile(path)) return bytes;
    return std::nullopt;
}

bool TSkinPackageSet::Exists(std::string_view path) const {
    for (const TSkinPackage* p : Packages())
        if (p->Exists(path)) return true;
    return false;
}

std::vector<std::string> TSkinPackageSet::List(std::string_view prefix) const {
    std::vector<std::string> out;
    for (const TSkinPackage* p : Packages()) {
        std::vector<std::string> files = p->List(prefix);
        out.insert(out.end(), files.begin(), files.end());
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}
