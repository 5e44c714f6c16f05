#include "public/rdcontrol/ini/ExtIniFile.h"

#include <iterator>

#include "public/rdcontrol/ini/IniText.h"

void TExtIniFile::LoadFromStream(std::istream& in) {
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LoadFromBytes(bytes);
}

void TExtIniFile::LoadFromBytes(std::string_view bytes) { FSections.LoadFromText(DecodeText(bytes).utf8); }

std::string TExtIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    auto value = FSections.Value(section, key);
    return value ? std::move(*value) : std::string(def);
}
