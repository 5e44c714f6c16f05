#pragma once
// One loaded language of the installer: its INI text (a UTF-16 resource), message
// lookup by key with a caller's default, and form texts by component name. The
// installer window keeps one for its whole life. Portable; UI thread only.
#include <string>
#include <string_view>

#include "public/rdcontrol/ini/ExtIniFile.h"
#include "public/rdcontrol/ini/IniHashedStringList.h"

class TComponent;

// <windows.h> renames GetMessage to GetMessageW; the member keeps its own name.
#pragma push_macro("GetMessage")
#undef GetMessage

class TLanguage {
public:
    // `prefix` builds the section names: prefix + "_M" for messages, prefix + "_" +
    // a form's name for its texts.
    explicit TLanguage(std::string prefix) : FPrefix(std::move(prefix)) {}

    const std::string& Prefix() const { return FPrefix; }

    // Replaces the whole language with the text in `bytes` (UTF-16 LE with its mark,
    // or any encoding its mark names).
    void LoadFromBytes(std::string_view bytes);

    // The message `key` (names compared without regard to case); `def` when the key
    // is absent. A key present with an empty value gives "".
    std::string GetMessage(std::string_view key, std::string_view def) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;

    // Writes the form's texts into its components by name and class.
    void TranslateForm(TComponent& form) const;

private:
    std::string FPrefix;
    TExtIniFile FIni;
    TIniHashedStringList FMessages;
};

#pragma pop_macro("GetMessage")
