#include "os/CommandLine.h"

namespace {

bool NeedsQuotes(std::string_view argument) {
    return argument.empty() || argument.find_first_of(" \t\"") != std::string_view::npos;
}

// The body of a quoted argument, without its quotes: a run of backslashes is doubled
// when a quote follows it (and the quote escaped) or when it ends the text (the
// closing quote follows); elsewhere backslashes stand for themselves.
void AppendQuotedBody(std::string& out, std::string_view argument) {
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
}

}  // namespace

std::string QuoteArgument(std::string_view argument, TQuoting quoting) {
    if (quoting == TQuoting::WhenNeeded && !NeedsQuotes(argument)) return std::string(argument);
    std::string out = "\"";
    AppendQuotedBody(out, argument);
    out += '"';
    return out;
}

void TCommandLine::Separate() {
    if (!FText.empty()) FText += ' ';
}

TCommandLine& TCommandLine::Add(std::string_view argument, TQuoting quoting) {
    Separate();
    FText += QuoteArgument(argument, quoting);
    return *this;
}

TCommandLine& TCommandLine::AddSwitch(std::string_view name, std::string_view value) {
    // The name stands before the opening quote, outside it: it must not hold
    // anything the splitting rules give a meaning to.
    if (name.find_first_of(" \t\"\\") != std::string_view::npos)
        return Add(std::string(name) + std::string(value), TQuoting::Always);
    Separate();
    FText += name;
    FText += '"';
    AppendQuotedBody(FText, value);
    FText += '"';
    return *this;
}

std::string FolderArgument(std::string_view folder) {
    std::size_t end = folder.size();
    while (end > 0 && (folder[end - 1] == '\\' || folder[end - 1] == '/')) --end;
    // "C:" alone is the drive's current folder, not its root.
    if (end == 2 && folder.size() > 2 && folder[1] == ':') ++end;
    // Nothing but separators ("\" or "\\"): keep the text, it names a root too.
    if (end == 0) return std::string(folder);
    return std::string(folder.substr(0, end));
}
