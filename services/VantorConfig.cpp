#include "services/VantorConfig.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "os/FileBytes.h"
#include "os/FileCopy.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/ini/IniFileNames.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "services/DataFileCipher.h"
#include "services/LocalClock.h"

namespace fs = std::filesystem;

namespace {

std::span<const std::uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

void MarkLoadFailure(TSafeIniFile& ini) { ini.WriteString(kLoadFailureSection, kLoadFailureKey, "1"); }

bool HasLoadFailure(const TSafeIniFile& ini) { return ini.ReadString(kLoadFailureSection, kLoadFailureKey, "") == "1"; }

// The file's bytes. A file another program holds open so that it cannot be read is
// copied beside itself (under a time-stamped name) and read from the copy.
std::optional<std::string> ReadDataFile(const std::string& fileName, const Clock& clock) {
    const fs::path path = Utf8Path(fileName);
    if (auto bytes = ReadFileBytes(path)) return bytes;
    const std::string stamp = FormatTimeStamp(clock.LocalTime(), "hhnnsszzz").value_or("000000000");
    const fs::path copy = Utf8Path(fileName + "." + stamp);
    if (!CopyFileReplacing(path, copy)) return std::nullopt;  // "backup file <name> failed."
    auto bytes = ReadFileBytes(copy);
    std::error_code ec;
    fs::remove(copy, ec);
    return bytes;
}

}  // namespace

void LoadDataFile(TSafeIniFile& ini, const std::string& fileName, const Clock& clock) {
    ini.LoadFromString("");
    std::error_code ec;
    const bool exists = fs::exists(Utf8Path(fileName), ec);
    if (ec) return MarkLoadFailure(ini);  // neither readable nor known to be absent
    if (!exists) return;
    const auto bytes = ReadDataFile(fileName, clock);
    if (!bytes) return MarkLoadFailure(ini);
    if (bytes->empty()) return;
    const std::vector<std::uint8_t> plain = DecryptData(AsBytes(*bytes));
    // Any bytes decrypt to something; only the text the INI class writes is ours.
    // Anything else is a damaged file (or not one of ours) and must not be taken
    // for an empty one, which a save would then overwrite.
    if (plain.size() % 2 != 0 || plain.size() < 2 || plain[0] != 0xFF || plain[1] != 0xFE)
        return MarkLoadFailure(ini);
    ini.LoadFromString(DecodeText(std::string_view(reinterpret_cast<const char*>(plain.data()), plain.size())).utf8);
}

void SaveDataFile(TSafeIniFile& ini, const std::string& fileName, const Clock& clock) {
    try {
        if (HasLoadFailure(ini)) {
            TSafeIniFile disk;
            LoadDataFile(disk, fileName, clock);
            if (HasLoadFailure(disk)) return;  // still unreadable: leave it as it is
            for (const std::string& section : disk.ReadSections())
                for (const std::string& key : disk.ReadSection(section))
                    if (!ini.ValueExists(section, key)) ini.WriteString(section, key, disk.ReadString(section, key, ""));
            ini.EraseSection(kLoadFailureSection);
        }
        std::ostringstream plain;
        ini.SaveToStream(plain);
        const std::vector<std::uint8_t> encrypted = EncryptData(AsBytes(plain.str()));
        EnsureIniFolder(fileName);
        // Written beside and renamed over: the browser never sees half a file, and a
        // crash mid-write leaves the old one.
        const fs::path target = Utf8Path(fileName);
        fs::path partial = target;
        partial += ".saving";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(encrypted.data()), static_cast<std::streamsize>(encrypted.size()));
            out.close();
            if (!out) {
                std::error_code ignored;
                fs::remove(partial, ignored);
                return;
            }
        }
        std::error_code ec;
        fs::rename(partial, target, ec);
        if (ec) fs::remove(partial, ec);
    } catch (...) {
        // Saving is best effort: the installer goes on without its settings.
    }
}

TVantorConfig::TVantorConfig(const std::string& fileName, const Clock& clock, const std::string& userDataDir)
    : FileName(fileName.empty() ? userDataDir + "VPN\\NpGic.kvdt" : fileName), FClock(clock) {}

std::string TVantorConfig::ReadString(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    TSafeIniFile ini;
    LoadDataFile(ini, FileName, FClock);
    return ini.ReadString(section, key, def);
}

void TVantorConfig::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    TSafeIniFile ini;
    LoadDataFile(ini, FileName, FClock);
    ini.WriteString(section, key, value);
    SaveDataFile(ini, FileName, FClock);
}

bool TVantorConfig::ValueExists(const std::string& section, const std::string& key) const {
    TSafeIniFile ini;
    LoadDataFile(ini, FileName, FClock);
    return ini.ValueExists(section, key);
}
