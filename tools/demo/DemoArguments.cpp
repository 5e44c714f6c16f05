#include "tools/demo/DemoArguments.h"

namespace demo {
namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < commandLine.size()) {
        while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
        if (i == commandLine.size()) break;
        std::string argument;
        bool quoted = false;
        for (; i < commandLine.size() && (quoted || !IsBlank(commandLine[i])); ++i) {
            if (commandLine[i] == '"')
                quoted = !quoted;
            else
                argument += commandLine[i];
        }
        if (!argument.empty()) arguments.push_back(std::move(argument));
    }
    return arguments;
}

bool IsSwitch(std::string_view argument, std::string_view name) {
    return argument.size() == name.size() + 1 && argument[0] == '/' && SameNoCase(argument.substr(1), name);
}

std::optional<std::string> SwitchValue(std::string_view argument, std::string_view name) {
    if (argument.size() < name.size() + 2 || argument[0] != '/' || argument[name.size() + 1] != '=' ||
        !SameNoCase(argument.substr(1, name.size()), name))
        return std::nullopt;
    return std::string(argument.substr(name.size() + 2));
}

bool IsAbsoluteWindowsPath(std::string_view path) {
    if (path.size() >= 3 && Lower(path[0]) >= 'a' && Lower(path[0]) <= 'z' && path[1] == ':' &&
        (path[2] == '\\' || path[2] == '/'))
        return true;
    return path.size() > 2 && path[0] == '\\' && path[1] == '\\';
}

std::string WithTrailingBackslash(std::string folder) {
    if (folder.empty() || (folder.back() != '\\' && folder.back() != '/')) folder += '\\';
    return folder;
}

}  // namespace demo
