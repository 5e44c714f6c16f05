#include "Installer/Downloader/flow/PLanguage.h"

void TLanguage::LoadFromBytes(std::string_view bytes) {
    FIni.LoadFromBytes(bytes);
    FMessages.Clear();
    for (std::string& line : FIni.ReadSectionValues(FPrefix + "_M")) FMessages.Add(std::move(line));
}

std::string TLanguage::GetMessage(std::string_view key, std::string_view def) const {
    const long index = FMessages.IndexOfName(key);
    if (index < 0) return std::string(def);
    return std::string(TIniHashedStringList::ValueOf(FMessages[static_cast<size_t>(index)]));
}

std::string TLanguage::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    return FIni.ReadString(section, key, def);
}
