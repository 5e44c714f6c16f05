#pragma once
// The in-memory model behind TSafeIniFile and TExtIniFile: sections in file order,
// each a TIniHashedStringList of its lines, with a one-entry cache of the section
// used last (repeated reads and writes mostly address the same section).
// Not copyable; one thread.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/ini/IniHashedStringList.h"

class TIniSections {
public:
    TIniSections();
    TIniSections(const TIniSections&) = delete;
    TIniSections& operator=(const TIniSections&) = delete;

    // Replaces the contents with the parsed text; a section that appears twice is
    // merged into its first occurrence.
    void LoadFromText(std::string_view utf8);
    // "[name]" lines each followed by the section's lines, CR LF line ends, no empty
    // lines: the plain form of the browser's data files, which other programs read.
    std::string ToText() const;
    void Clear();

    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    void SetValue(std::string_view section, std::string_view key, std::string_view value);

    bool SectionExists(std::string_view section) const { return FindSection(section) >= 0; }
    std::vector<std::string> SectionNames() const;
    // Names of the section's keys (entries without "=" are not keys).
    std::vector<std::string> KeyNames(std::string_view section) const;
    // The section's lines as stored: "key=value" and entries without "=".
    std::vector<std::string> SectionLines(std::string_view section) const;

    bool EraseSection(std::string_view section);
    bool DeleteKey(std::string_view section, std::string_view key);

private:
    long FindSection(std::string_view name) const;
    TIniHashedStringList& AddSection(std::string_view name);

    TIniHashedStringList FNames;
    std::vector<std::unique_ptr<TIniHashedStringList>> FSections;
    mutable std::string FLastName;
    mutable long FLastIndex = -1;
};
