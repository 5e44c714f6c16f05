#pragma once
// Arguments as the installer may pass them to the programs it starts, with the text
// QuoteArgument (os/CommandLine.h) must give for each, and a copy of the rules
// CommandLineToArgvW and the C runtime split a command line by. Shared by the host
// tests, which split with the copy, and the Windows test, which splits with
// CommandLineToArgvW itself and holds the copy to it.
#include <string>
#include <string_view>
#include <vector>

struct TQuoteCase {
    const char* name;
    std::string argument;
    std::string quoted;  // QuoteArgument(argument)
};

inline const std::vector<TQuoteCase>& QuoteCases() {
    static const std::vector<TQuoteCase> cases = {
        {"Plain", "/verysilent", "/verysilent"},
        {"Empty", "", "\"\""},
        {"Blank", "a b", "\"a b\""},
        {"Tab", "a\tb", "\"a\tb\""},
        {"Quote", "a\"b", "\"a\\\"b\""},
        {"OnlyAQuote", "\"", "\"\\\"\""},
        {"BackslashesWithoutQuotes", "C:\\x\\y", "C:\\x\\y"},
        {"TrailingBackslashNeedsNoQuotes", "C:\\x\\", "C:\\x\\"},
        // The trap: a folder with a blank and a trailing backslash. Written as
        // "C:\Program Files\Q\" its backslash would escape the closing quote.
        {"TrailingBackslashInQuotes", "C:\\Program Files\\Q\\", "\"C:\\Program Files\\Q\\\\\""},
        {"TwoTrailingBackslashes", "a b\\\\", "\"a b\\\\\\\\\""},
        {"BackslashBeforeQuote", "a\\\"b", "\"a\\\\\\\"b\""},
        {"TwoBackslashesBeforeQuote", "a\\\\\"b", "\"a\\\\\\\\\\\"b\""},
        {"BackslashBeforeBlank", "a\\ b", "\"a\\ b\""},
        {"UncPathWithBlank", "\\\\server\\share x\\", "\"\\\\server\\share x\\\\\""},
        {"Unicode", "C:\\Programme\\Q\xC3\xA4rto \xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8\\",
         "\"C:\\Programme\\Q\xC3\xA4rto \xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8\\\\\""},
        // Text that tries to add switches of its own stays one argument.
        {"SmuggledSwitches", "/insur=a\" /DIR=\"C:\\evil", "\"/insur=a\\\" /DIR=\\\"C:\\evil\""},
        {"Link", "https://go.example/appgoto?name=zyr&ver=3.1.0.5&lan=&to=install",
         "https://go.example/appgoto?name=zyr&ver=3.1.0.5&lan=&to=install"},
    };
    return cases;
}

// A switch with its value in quotes (TCommandLine::AddSwitch): the text it writes and
// the one argument it must split back to.
struct TSwitchCase {
    const char* name;
    std::string switchName, value;
    std::string written;
};

inline const std::vector<TSwitchCase>& SwitchCases() {
    static const std::vector<TSwitchCase> cases = {
        {"Folder", "/DIR=", "C:\\Program Files (x86)\\Qarto Private Browser",
         "/DIR=\"C:\\Program Files (x86)\\Qarto Private Browser\""},
        {"DriveRoot", "/DIR=", "C:\\", "/DIR=\"C:\\\\\""},
        {"EmptyValue", "/TASKS=", "", "/TASKS=\"\""},
        {"QuoteInValue", "/installdir=", "a\"b", "/installdir=\"a\\\"b\""},
        {"NameWithABlank", "/a b=", "c", "\"/a b=c\""},
    };
    return cases;
}

// The arguments after the program name. Blanks and tabs separate arguments outside
// quotes. A run of n backslashes before a quote gives n/2 backslashes, and the quote
// is literal when n is odd, else it opens or closes quoting; backslashes elsewhere
// are literal. (Two quotes in a row inside
// quotes are read differently by different versions; QuoteArgument never writes
// them, so they are left out here.)
inline std::vector<std::string> SplitArguments(std::string_view line) {
    std::vector<std::string> arguments;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i == line.size()) return arguments;
        std::string argument;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '\\') {
                size_t n = 0;
                while (i < line.size() && line[i] == '\\') ++n, ++i;
                if (i < line.size() && line[i] == '"') {
                    argument.append(n / 2, '\\');
                    if (n % 2) argument += '"';
                    else quoted = !quoted;
                    ++i;
                } else {
                    argument.append(n, '\\');
                }
            } else if (line[i] == '"') {
                quoted = !quoted;
                ++i;
            } else {
                argument += line[i++];
            }
        }
        arguments.push_back(argument);
    }
}
