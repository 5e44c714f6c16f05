#include "os/FileAttributes.h"

#include <windows.h>

#include "os/TextConvert.h"

std::optional<std::uint32_t> GetFileAttributesOf(const std::string& path) {
    const DWORD a = GetFileAttributesW(Widen(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

bool SetFileAttributesOf(const std::string& path, std::uint32_t attributes) {
    return SetFileAttributesW(Widen(path).c_str(), attributes) != 0;
}
