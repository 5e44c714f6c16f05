#pragma once
// The INI text format shared by the library's INI classes: its sections and lines and
// its date-time form. Encodings, case folding and numbers are the base library's
// (TextCodec.h, TextCase.h, NumberText.h), included here for the INI classes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/base/DateTime.h"
#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/base/TextLines.h"

// A parsed INI text: sections in file order, each with its lines ("key=value" with
// key and value trimmed, or a trimmed entry without "="). Comment and empty lines and
// lines before the first section are dropped. Used by every INI class.
struct ParsedIniSection {
    std::string name;
    std::vector<std::string> lines;
};
std::vector<ParsedIniSection> ParseIniText(std::string_view utf8);

// "mm/dd/yyyy hh:nn:ss:zzz" whatever the user's locale.
std::string FormatIniDateTime(TDateTime value);
// Month/day/year with "/" (a two-digit year yy is 20yy below 50, else 19yy),
// optionally followed by hours:minutes[:seconds[:milliseconds]] ("." also accepted
// before the milliseconds); nullopt when it does not parse or names no valid date.
std::optional<TDateTime> ParseIniDateTime(std::string_view text);
