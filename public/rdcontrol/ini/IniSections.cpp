#include "public/rdcontrol/ini/IniSections.h"

#include "public/rdcontrol/ini/IniText.h"

TIniSections::TIniSections() {
    // Section positions change only when the list of names does.
    FNames.OnChange = [this] { FLastIndex = -1; };
}

void TIniSections::Clear() {
    FNames.Clear();
    FSections.clear();
}

void TIniSections::LoadFromText(std::string_view utf8) {
    Clear();
    for (ParsedIniSection& parsed : ParseIniText(utf8)) {
        const long existing = FindSection(parsed.name);
        TIniHashedStringList& lines = existing >= 0 ? *FSections[static_cast<size_t>(existing)] : AddSection(parsed.name);
        for (std::string& line : parsed.lines) lines.Add(std::move(line));
    }
}

std::string TIniSections::ToText() const {
    std::string text;
    for (size_t i = 0; i < FSections.size(); ++i) {
        text += '[';
        text += FNames[i];
        text += "]\r\n";
        for (const std::string& line : FSections[i]->Lines()) {
            text += line;
            text += "\r\n";
        }
    }
    return text;
}

long TIniSections::FindSection(std::string_view name) const {
    if (FLastIndex >= 0 && SameTextNoCase(name, FLastName)) return FLastIndex;
    const long index = FNames.IndexOf(name);
    if (index >= 0) {
        FLastName.assign(name);
        FLastIndex = index;
    }
    return index;
}

TIniHashedStringList& TIniSections::AddSection(std::string_view name) {
    FSections.push_back(std::make_unique<TIniHashedStringList>());
    FNames.Add(std::string(name));
    return *FSections.back();
}

std::optional<std::string> TIniSections::Value(std::string_view section, std::string_view key) const {
    const long s = FindSection(section);
    if (s < 0) return std::nullopt;
    const TIniHashedStringList& lines = *FSections[static_cast<size_t>(s)];
    const long k = lines.IndexOfName(key);
    if (k < 0) return std::nullopt;
    return std::string(TIniHashedStringList::ValueOf(lines[static_cast<size_t>(k)]));
}

void TIniSections::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    const long s = FindSection(section);
    TIniHashedStringList& lines = s >= 0 ? *FSections[static_cast<size_t>(s)] : AddSection(section);
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append("=").append(value);
    const long k = lines.IndexOfName(key);
    if (k >= 0) lines.Set(static_cast<size_t>(k), std::move(line));
    else lines.Add(std::move(line));
}

std::vector<std::string> TIniSections::SectionNames() const { return FNames.Lines(); }

std::vector<std::string> TIniSections::KeyNames(std::string_view section) const {
    std::vector<std::string> names;
    const long s = FindSection(section);
    if (s < 0) return names;
    for (const std::string& line : FSections[static_cast<size_t>(s)]->Lines())
        if (line.find('=') != std::string::npos) names.emplace_back(TIniHashedStringList::NameOf(line));
    return names;
}

std::vector<std::string> TIniSections::SectionLines(std::string_view section) const {
    const long s = FindSection(section);
    if (s < 0) return {};
    return FSections[static_cast<size_t>(s)]->Lines();
}

bool TIniSections::EraseSection(std::string_view section) {
    const long s = FindSection(section);
    if (s < 0) return false;
    FSections.erase(FSections.begin() + s);
    FNames.Delete(static_cast<size_t>(s));
    return true;
}

bool TIniSections::DeleteKey(std::string_view section, std::string_view key) {
    const long s = FindSection(section);
    if (s < 0) return false;
    TIniHashedStringList& lines = *FSections[static_cast<size_t>(s)];
    const long k = lines.IndexOfName(key);
    if (k < 0) return false;
    lines.Delete(static_cast<size_t>(k));
    return true;
}
