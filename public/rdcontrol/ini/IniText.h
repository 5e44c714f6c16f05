#pragma once
// The INI text format shared by the library's INI classes: encodings, line parsing,
// case-insensitive names and the locale-independent value formats.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct DecodedText {
    std::string utf8;
    TextEncoding encoding = TextEncoding::Ansi;
};

// Detects the encoding from the byte-order mark (UTF-8, UTF-16 LE/BE; otherwise the
// system's ANSI code page) and returns the text as UTF-8 without the mark.
DecodedText DecodeText(std::string_view bytes);
// The text in `encoding`, with its byte-order mark (none for Ansi).
std::string EncodeText(std::string_view utf8, TextEncoding encoding);
// Just the byte-order mark of `encoding` ("" for Ansi).
std::string ByteOrderMark(TextEncoding encoding);

// Splits on CR LF, LF or CR.
std::vector<std::string_view> SplitLines(std::string_view text);
// Blanks (space, tab) and control characters removed at both ends.
std::string_view TrimBlanks(std::string_view s);

// Case folding for matching keys and section names without regard to case: ASCII,
// Latin-1, Latin Extended-A, Greek and Cyrillic letters fold to lower case; other
// text is compared as it is.
std::string FoldCase(std::string_view utf8);
bool SameTextNoCase(std::string_view a, std::string_view b);
// Whether `s` begins with `prefix`, compared as SameTextNoCase does.
inline bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameTextNoCase(s.substr(0, prefix.size()), prefix);
}

// A parsed INI text: sections in file order, each with its lines ("key=value" with
// key and value trimmed, or a trimmed entry without "="). Comment and empty lines and
// lines before the first section are dropped. Used by every INI class.
struct ParsedIniSection {
    std::string name;
    std::vector<std::string> lines;
};
std::vector<ParsedIniSection> ParseIniText(std::string_view utf8);

// Values: locale-independent forms.
std::string FormatIniInteger(long long value);
// Decimal, or "$" followed by hexadecimal digits; nullopt otherwise.
std::optional<long long> ParseIniInteger(std::string_view text);
// "0" is false, any other integer true; nullopt when not an integer.
std::optional<bool> ParseIniBool(std::string_view text);
// Shortest decimal form that reads back exactly, "." as decimal separator.
std::string FormatIniFloat(double value);
// Every "," is taken as "."; nullopt when not a number.
std::optional<double> ParseIniFloat(std::string_view text);

// Date-times are days since 1899-12-30 00:00, the fraction being the time of day.
using TDateTime = double;
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0);
struct DateTimeParts {
    int year, month, day, hour, minute, second, ms;
};
DateTimeParts DecodeDateTime(TDateTime value);
// "mm/dd/yyyy hh:nn:ss:zzz" whatever the user's locale.
std::string FormatIniDateTime(TDateTime value);
// Month/day/year with "/" (a two-digit year yy is 20yy below 50, else 19yy),
// optionally followed by hours:minutes[:seconds[:milliseconds]] ("." also accepted
// before the milliseconds); nullopt when it does not parse or names no valid date.
std::optional<TDateTime> ParseIniDateTime(std::string_view text);
