#pragma once
// The browser's encrypted settings files ("config.kvdt", the identity file...): INI
// text as TSafeIniFile writes it (UTF-16 LE with its mark), encrypted whole on disk
// (services/DataFileCipher.h). The browser itself reads and writes them too, so
// every operation loads the file afresh, and a write saves the whole file at once;
// nothing is cached between calls.
//
// Nothing stored is ever lost through this class: a file that cannot be read (held
// open exclusively by the browser, say) or that does not decrypt to INI text gives an
// empty INI carrying the load-failure marker (section "main_file_load",
// "file_load_error" = "1"), and a save of such an INI first reads the file again and
// keeps every value it holds; if the file still cannot be read, nothing is written.
// The marker never reaches the disk. A missing or empty file reads as an empty INI.
//
// Every call is blocking file I/O and never raises. One thread at a time per file.
#include <string>

#include "os/Clock.h"
#include "public/rdcontrol/ini/SafeIniFile.h"

inline constexpr const char* kLoadFailureSection = "main_file_load";
inline constexpr const char* kLoadFailureKey = "file_load_error";

// The two steps every operation is made of. LoadDataFile replaces the content of
// `ini` (an INI without a file name of its own) with the file's, or with the marker
// alone. SaveDataFile writes `ini` to the file (merging the file's values first when
// `ini` carries the marker), replacing it in one step; errors are swallowed.
void LoadDataFile(TSafeIniFile& ini, const std::string& fileName, const Clock& clock);
void SaveDataFile(TSafeIniFile& ini, const std::string& fileName, const Clock& clock);

class TVantorConfig {
public:
    // An empty `fileName` means the default file, userDataDir + "VPN\NpGic.kvdt".
    // `clock` names the temporary copy of a file that is locked; it must outlive the
    // object.
    TVantorConfig(const std::string& fileName, const Clock& clock, const std::string& userDataDir = {});

    std::string FileName;

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool ValueExists(const std::string& section, const std::string& key) const;

private:
    const Clock& FClock;
};
