#pragma once
// Numbers as text in locale-independent forms, as configuration files, skins and
// server answers carry them. Blanks around the text are ignored.
#include <optional>
#include <string>
#include <string_view>

std::string FormatInteger(long long value);
// Decimal, "$" or "0x" followed by hexadecimal digits, with an optional sign; nullopt
// otherwise or when it does not fit.
std::optional<long long> ParseInteger(std::string_view text);
// "0" is false, any other integer true; nullopt when not an integer.
std::optional<bool> ParseBoolean(std::string_view text);
// Shortest decimal form that reads back exactly, "." as decimal separator.
std::string FormatNumber(double value);
// Every "," is taken as "."; nullopt when not a finite number.
std::optional<double> ParseNumber(std::string_view text);
