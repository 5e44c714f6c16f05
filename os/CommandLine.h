#pragma once
// Command lines for the programs the installer starts (the setup package, the
// browser, its companion), built so that every argument reaches the program as it
// was given: the rules CommandLineToArgvW and the C runtime use to split a command
// line. An argument is put in double quotes when it is empty or holds a blank, a tab
// or a quote; inside, a quote is written as \", and backslashes are doubled only
// where they come before a quote (the closing one included), so "C:\x\" cannot
// swallow the quote that closes it and every argument after it.
//
// Every child command line goes through this file; nothing else writes quotes.
// Portable; no I/O.
#include <string>
#include <string_view>

enum class TQuoting {
    WhenNeeded,  // bare unless empty or holding a blank, tab or quote
    Always,      // in quotes even when it needs none (a form a program expects)
};

// `argument` as one argument of a command line.
std::string QuoteArgument(std::string_view argument, TQuoting quoting = TQuoting::WhenNeeded);

// Joins arguments into a command line (without the program), one blank between them.
class TCommandLine {
public:
    // One argument, quoted as QuoteArgument does.
    TCommandLine& Add(std::string_view argument, TQuoting quoting = TQuoting::WhenNeeded);
    // A switch with its value in quotes, the form setup packages take: "/DIR=" and
    // "C:\x" give /DIR="C:\x", which splits to the single argument /DIR=C:\x. A
    // `name` holding a blank, tab, quote or backslash is quoted whole instead.
    TCommandLine& AddSwitch(std::string_view name, std::string_view value);

    const std::string& Text() const { return FText; }

private:
    void Separate();

    std::string FText;
};

// A folder as a value for a command line: without its trailing backslashes (or
// slashes), so that a program splitting its command line by any rule (one where a
// backslash before a quote escapes it, or one where it does not) reads the same
// folder; a drive's root keeps its one backslash ("C:\"), which would otherwise
// name the drive's current folder.
std::string FolderArgument(std::string_view folder);
