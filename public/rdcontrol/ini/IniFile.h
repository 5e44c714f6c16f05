#pragma once
// An INI file accessed key by key: every read and write goes straight to the file,
// nothing is cached in the object. On Windows through the system's private-profile
// functions (which serialise access to a file themselves); elsewhere through an
// equivalent that reads the file and rewrites it on every call, keeping its
// encoding, its other lines and comments, and replacing it in one step.
//
// A bare file name means the current folder, for reads as for writes (the system
// functions would otherwise look for it in the Windows folder). Values of any
// length are read whole. Numbers, Booleans and date-times use the
// locale-independent forms of IniText.h. Every call is blocking file I/O. Never
// raises; failures read as the default and writes report false.
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/ini/IniText.h"

class TIniFile {
public:
    explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    long long ReadInteger(std::string_view section, std::string_view key, long long def) const;
    bool WriteInteger(std::string_view section, std::string_view key, long long value);
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    double ReadFloat(std::string_view section, std::string_view key, double def) const;
    bool WriteFloat(std::string_view section, std::string_view key, double value);
    TDateTime ReadDateTime(std::string_view section, std::string_view key, TDateTime def) const;
    bool WriteDateTime(std::string_view section, std::string_view key, TDateTime value);

    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSectionValues(std::string_view section) const;
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    bool EraseSection(std::string_view section);
    bool DeleteKey(std::string_view section, std::string_view key);
    // Flushes the system's cache for the file (Windows); elsewhere every write is
    // already on disk.
    void UpdateFile();

private:
    // The file name for writing: normalised, folder created, read-only cleared.
    std::string PrepareForWrite() const;

    std::string FFileName;
};
