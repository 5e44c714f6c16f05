// INI parsing in every encoding. The first input byte picks the byte-order mark put
// in front of the rest (none, UTF-8, UTF-16 LE, UTF-16 BE), so every decoder sees
// arbitrary bytes. Checks that parsing the saved text gives the same text again and
// that typed reads of whatever values appear never fail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/ini/ExtIniFile.h"
#include "public/rdcontrol/ini/SafeIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const char* const kMarks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    std::string bytes = kMarks[data[0] % 4];
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);

    TExtIniFile ext;
    ext.LoadFromBytes(bytes);

    TSafeIniFile ini;
    ini.LoadFromString(DecodeText(bytes).utf8);
    const std::string saved = ini.Text();
    TSafeIniFile again;
    again.LoadFromString(saved);
    if (again.Text() != saved) std::abort();

    for (const std::string& section : ini.ReadSections()) {
        for (const std::string& key : ini.ReadSection(section)) {
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadBool(section, key, false);
            (void)ini.ReadDateTime(section, key, 0);
            (void)ParseNumber(ini.ReadString(section, key, ""));
            if (ext.ReadString(section, key, "\x01missing") == "\x01missing") std::abort();
        }
        ini.WriteString(section, "fuzz", "1");
        if (ini.ReadString(section, "FUZZ", "") != "1") std::abort();
    }
    return 0;
}
