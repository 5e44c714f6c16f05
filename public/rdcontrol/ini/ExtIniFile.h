#pragma once
// A read-mostly INI text parsed from a stream (language resources): encoding from the
// byte-order mark, else the system's ANSI code page. Nothing is ever written back.
// Not copyable; one thread.
#include <istream>
#include <string>
#include <vector>

#include "public/rdcontrol/ini/IniSections.h"

class TExtIniFile {
public:
    TExtIniFile() = default;
    TExtIniFile(const TExtIniFile&) = delete;
    TExtIniFile& operator=(const TExtIniFile&) = delete;

    // Replaces the contents with the stream's text (read from its current position).
    void LoadFromStream(std::istream& in);
    void LoadFromBytes(std::string_view bytes);

    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    std::vector<std::string> ReadSection(std::string_view section) const { return FSections.KeyNames(section); }
    std::vector<std::string> ReadSections() const { return FSections.SectionNames(); }
    // The section's "key=value" lines.
    std::vector<std::string> ReadSectionValues(std::string_view section) const {
        return FSections.SectionLines(section);
    }
    void EraseSection(std::string_view section) { FSections.EraseSection(section); }
    void DeleteKey(std::string_view section, std::string_view key) { FSections.DeleteKey(section, key); }

private:
    TIniSections FSections;
};
