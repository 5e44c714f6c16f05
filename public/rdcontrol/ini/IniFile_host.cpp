// TIniFile on systems without the private-profile functions: each call reads the
// file, and each change rewrites it, keeping its encoding (a new file is ANSI, as
// the system functions create it), its other lines and comments. The first section
// and the first key of a name count, as with the system functions; values are
// trimmed and lose one pair of surrounding quotes.
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "os/FileBytes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/ini/IniFile.h"

namespace fs = std::filesystem;

namespace {

struct SectionRange {
    size_t header;  // the "[name]" line
    size_t end;     // one past the section's last line
};

class ProfileText {
public:
    static ProfileText Load(const std::string& fileName) {
        ProfileText p;
        const auto bytes = ReadFileBytes(Utf8Path(fileName));
        if (!bytes) return p;
        DecodedText text = DecodeText(*bytes);
        p.FEncoding = text.encoding;
        for (std::string_view line : SplitLines(text.utf8)) p.FLines.emplace_back(line);
        return p;
    }

    bool Save(const std::string& fileName) const {
        std::string text;
        for (const std::string& line : FLines) text.append(line).append("\r\n");
        const fs::path target = Utf8Path(fileName);
        fs::path partial = target;
        partial += ".saving";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out << EncodeText(text, FEncoding);
            out.close();
            if (!out) {
                std::error_code ignored;
                fs::remove(partial, ignored);
                return false;
            }
        }
        std::error_code ec;
        fs::rename(partial, target, ec);
        return !ec;
    }

    static std::optional<std::string_view> HeaderName(std::string_view line) {
        line = TrimBlanks(line);
        if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
        return TrimBlanks(line.substr(1, line.size() - 2));
    }

    // The key of a "key=value" line; nullopt for comments, headers and other lines.
    static std::optional<std::string_view> KeyOf(std::string_view line) {
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';' || HeaderName(line)) return std::nullopt;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return std::nullopt;
        return TrimBlanks(line.substr(0, eq));
    }

    static std::string ValueOf(std::string_view line) {
        std::string_view v = TrimBlanks(line.substr(line.find('=') + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        return std::string(v);
    }

    std::optional<SectionRange> FindSection(std::string_view name) const {
        for (size_t i = 0; i < FLines.size(); ++i) {
            auto header = HeaderName(FLines[i]);
            if (!header || !SameTextNoCase(*header, name)) continue;
            size_t end = i + 1;
            while (end < FLines.size() && !HeaderName(FLines[end])) ++end;
            return SectionRange{i, end};
        }
        return std::nullopt;
    }

    std::optional<size_t> FindKey(const SectionRange& s, std::string_view key) const {
        for (size_t i = s.header + 1; i < s.end; ++i)
            if (auto k = KeyOf(FLines[i]); k && SameTextNoCase(*k, key)) return i;
        return std::nullopt;
    }

    std::vector<std::string> FLines;
    TextEncoding FEncoding = TextEncoding::Ansi;
};

}  // namespace

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const ProfileText p = ProfileText::Load(FFileName);
    auto s = p.FindSection(section);
    if (!s) return std::string(def);
    auto k = p.FindKey(*s, key);
    return k ? ProfileText::ValueOf(p.FLines[*k]) : std::string(def);
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string fileName = PrepareForWrite();
    ProfileText p = ProfileText::Load(fileName);
    std::string line = std::string(key) + "=" + std::string(value);
    if (auto s = p.FindSection(section)) {
        if (auto k = p.FindKey(*s, key)) {
            p.FLines[*k] = std::move(line);
        } else {
            // After the section's last non-empty line, before any blank lines.
            size_t at = s->end;
            while (at > s->header + 1 && TrimBlanks(p.FLines[at - 1]).empty()) --at;
            p.FLines.insert(p.FLines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
        }
    } else {
        std::string header(1, '[');  // built up: GCC 12 warns on "[" + string at -O3
        header.append(section).append("]");
        p.FLines.push_back(std::move(header));
        p.FLines.push_back(std::move(line));
    }
    return p.Save(fileName);
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    const ProfileText p = ProfileText::Load(FFileName);
    if (auto s = p.FindSection(section))
        for (size_t i = s->header + 1; i < s->end; ++i)
            if (auto k = ProfileText::KeyOf(p.FLines[i])) keys.emplace_back(*k);
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    const ProfileText p = ProfileText::Load(FFileName);
    for (const std::string& line : p.FLines)
        if (auto h = ProfileText::HeaderName(line)) names.emplace_back(*h);
    return names;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> lines;
    const ProfileText p = ProfileText::Load(FFileName);
    if (auto s = p.FindSection(section))
        for (size_t i = s->header + 1; i < s->end; ++i) {
            std::string_view line = TrimBlanks(p.FLines[i]);
            if (!line.empty() && line.front() != ';') lines.emplace_back(line);
        }
    return lines;
}

bool TIniFile::EraseSection(std::string_view section) {
    const std::string fileName = PrepareForWrite();
    ProfileText p = ProfileText::Load(fileName);
    auto s = p.FindSection(section);
    if (!s) return true;
    p.FLines.erase(p.FLines.begin() + static_cast<std::ptrdiff_t>(s->header),
                   p.FLines.begin() + static_cast<std::ptrdiff_t>(s->end));
    return p.Save(fileName);
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
    const std::string fileName = PrepareForWrite();
    ProfileText p = ProfileText::Load(fileName);
    auto s = p.FindSection(section);
    if (!s) return true;
    auto k = p.FindKey(*s, key);
    if (!k) return true;
    p.FLines.erase(p.FLines.begin() + static_cast<std::ptrdiff_t>(*k));
    return p.Save(fileName);
}

void TIniFile::UpdateFile() { PrepareForWrite(); }
