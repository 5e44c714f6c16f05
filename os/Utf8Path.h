#pragma once
// std::filesystem paths from the UTF-8 strings the portable core carries. On Windows
// the narrow constructor would read them in the ANSI code page; this does not. On
// other systems "\" separators are turned into "/" so that Windows-style paths work
// in host tests.
#include <filesystem>
#include <string>

inline std::filesystem::path Utf8Path(const std::string& utf8) {
    std::u8string text(utf8.begin(), utf8.end());
#ifndef _WIN32
    for (auto& c : text)
        if (c == u8'\\') c = u8'/';
#endif
    return std::filesystem::path(text);
}

inline std::string PathUtf8(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
