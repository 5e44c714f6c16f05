#pragma once
// Command lines as the maker's setup package and its companion program read them.
// Portable (no system calls).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace demo {

// Splits a command line into arguments, the program name first, the way programs
// built with the setup package's tool chain read it: characters up to the blank
// separate arguments, double quotes group blanks into an argument and are removed,
// and a backslash is an ordinary character. An argument that is nothing but quotes
// ("") is dropped.
//
// This is not the C runtime's rule, where \" escapes a quote. The installer writes
// its folders without a trailing backslash (/DIR="C:\Program Files (x86)\Qarto
// Private Browser"), which both rules read alike; the package adds the backslash.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// ASCII letters compared without regard to case (switch and task names).
bool SameNoCase(std::string_view a, std::string_view b);

// True when `argument` is the switch "/NAME" (NAME compared without regard to case).
bool IsSwitch(std::string_view argument, std::string_view name);

// The value of `argument` when it is "/NAME=value" (NAME without regard to case).
std::optional<std::string> SwitchValue(std::string_view argument, std::string_view name);

// An absolute Windows folder or file path: "X:\..." or "\\server\...".
bool IsAbsoluteWindowsPath(std::string_view path);

// `folder` with exactly one trailing backslash added when it has none.
std::string WithTrailingBackslash(std::string folder);

}  // namespace demo
