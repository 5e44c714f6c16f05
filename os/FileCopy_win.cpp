#include "os/FileCopy.h"

#include <windows.h>

bool CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) noexcept {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}
