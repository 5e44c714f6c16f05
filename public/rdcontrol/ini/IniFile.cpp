// The parts of TIniFile that are the same on every platform: value conversions and
// preparing the file for writing.
#include "public/rdcontrol/ini/IniFile.h"

#include <algorithm>

#include "os/FileAttributes.h"
#include "public/rdcontrol/ini/IniFileNames.h"

std::string TIniFile::PrepareForWrite() const {
    const std::string fileName = NormalizeIniFileName(FFileName);
    EnsureIniFolder(fileName);
    if (auto a = GetFileAttributesOf(fileName); a && (*a & FileAttribute::ReadOnly))
        SetFileAttributesOf(fileName, FileAttribute::Normal);
    return fileName;
}

long long TIniFile::ReadInteger(std::string_view section, std::string_view key, long long def) const {
    return ParseInteger(ReadString(section, key, "")).value_or(def);
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
    return WriteString(section, key, FormatInteger(value));
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ParseBoolean(ReadString(section, key, "")).value_or(def);
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    return ParseNumber(ReadString(section, key, "")).value_or(def);
}

bool TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    return WriteString(section, key, FormatNumber(value));
}

TDateTime TIniFile::ReadDateTime(std::string_view section, std::string_view key, TDateTime def) const {
    return ParseIniDateTime(ReadString(section, key, "")).value_or(def);
}

bool TIniFile::WriteDateTime(std::string_view section, std::string_view key, TDateTime value) {
    return WriteString(section, key, FormatIniDateTime(value));
}

bool TIniFile::SectionExists(std::string_view section) const {
    const auto names = ReadSections();
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameTextNoCase(n, section); });
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const auto keys = ReadSection(section);
    return std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return SameTextNoCase(k, key); });
}
