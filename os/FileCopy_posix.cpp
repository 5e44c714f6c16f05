#include "os/FileCopy.h"

bool CopyFileReplacing(const std::filesystem::path& from, const std::filesystem::path& to) noexcept {
    std::error_code ec;
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
    return !ec;
}
