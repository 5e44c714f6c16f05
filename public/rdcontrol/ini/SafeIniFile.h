#pragma once
// An INI file held in memory: reads any of the usual text encodings, writes UTF-16 LE
// with a byte-order mark, creates missing folders, writes through read-only and
// hidden attributes (restoring them), and saves itself on destruction after a change
// unless the file could not be read at creation (then it never overwrites it).
//
// Keys and section names match without regard to case; look-ups are constant time.
// Blocking file I/O happens only in the constructor, LoadFromFile and UpdateFile
// (and the destructor, through UpdateFile). One thread; not copyable.
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "public/rdcontrol/ini/IniSections.h"
#include "public/rdcontrol/ini/IniText.h"

// Raised by UpdateFile when the file cannot be written (access denied, disk full).
class EIniFileError : public std::runtime_error {
public:
    EIniFileError(const std::string& fileName, const std::string& reason)
        : std::runtime_error("cannot write \"" + fileName + "\": " + reason) {}
};

class TSafeIniFile {
public:
    // Empty, in memory only.
    TSafeIniFile() = default;
    // Reads `fileName` when it exists. When it does not, its folder is created and an
    // empty file is created at once (with the byte-order mark of `encoding`, if given).
    explicit TSafeIniFile(const std::string& fileName, std::optional<TextEncoding> encoding = std::nullopt);
    // Saves first when modified, unless the load failed. Errors are swallowed here:
    // call UpdateFile to see them.
    ~TSafeIniFile();
    TSafeIniFile(const TSafeIniFile&) = delete;
    TSafeIniFile& operator=(const TSafeIniFile&) = delete;

    const std::string& FileName() const { return FFileName; }
    bool Modified() const { return FModified; }
    bool LoadFailed() const { return FLoadFailed; }

    // Replaces the contents with the file's, when it exists (the file name stays).
    void LoadFromFile(const std::string& fileName);
    void LoadFromString(std::string_view utf8Text);
    // The whole text as UTF-16 LE with byte-order mark.
    void SaveToStream(std::ostream& out) const;
    std::string Text() const { return FSections.ToText(); }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
    void WriteInteger(std::string_view section, std::string_view key, long long value);
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    void WriteBool(std::string_view section, std::string_view key, bool value);
    TDateTime ReadDateTime(std::string_view section, std::string_view key, TDateTime def) const;
    void WriteDateTime(std::string_view section, std::string_view key, TDateTime value);

    // Key names of a section, section names, and a section's "key=value" lines.
    std::vector<std::string> ReadSection(std::string_view section) const { return FSections.KeyNames(section); }
    std::vector<std::string> ReadSections() const { return FSections.SectionNames(); }
    std::vector<std::string> ReadSectionValues(std::string_view section) const {
        return FSections.SectionLines(section);
    }
    bool SectionExists(std::string_view section) const { return FSections.SectionExists(section); }
    bool ValueExists(std::string_view section, std::string_view key) const {
        return FSections.Value(section, key).has_value();
    }
    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    // Writes the file now (when it has a name) and clears Modified. The new content
    // replaces the old in one step: a crash mid-write leaves the old file intact.
    // Throws EIniFileError; attributes are restored in every case.
    void UpdateFile();

private:
    std::string FFileName;
    TIniSections FSections;
    bool FModified = false;
    bool FLoadFailed = false;
};
