#pragma once
// Which of the installer's 22 languages to speak: the list the selector offers, the
// Windows interface language mapped to a language name, and the start-up choice with
// the saved choice of the browser's configuration winning. Portable; no I/O.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct TLanguageEntry {
    const char* selectorText;  // the language's own name, shown in the selector
    const char* name;          // the language name; its resource is the upper-case name
};

// The 22 languages in selector order.
const std::vector<TLanguageEntry>& LanguageList();
// The index of `name` in LanguageList (without regard to case), or nullopt.
std::optional<size_t> LanguageIndex(const std::string& name);

// A Windows language identifier as a language name. Names without a language file
// (such as "Czech" or "ChineseSimp") are possible; they end in English.
std::string GetSystemLanguageName(std::uint16_t langId);

// "Portuguese(PT-BR)" -> "Portuguese_BR" and the other three long names; any other
// text unchanged.
std::string ShortLanguageName(const std::string& name);
// The reverse, as the browser's configuration stores the choice.
std::string LongLanguageName(const std::string& name);

// The start-up language name (GetLanguageName): the system's, unless the saved
// choice has more than one character; long names turned into language names.
// An empty result means English.
std::string ChooseLanguageName(std::uint16_t uiLanguage, const std::optional<std::string>& savedChoice);
