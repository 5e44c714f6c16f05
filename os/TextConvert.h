#pragma once
// UTF-8 <-> UTF-16 at Win32 calls. Windows build only. Invalid input is replaced
// with U+FFFD rather than dropped.
#ifdef _WIN32
#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
#endif
