#pragma once
// Version resources of executable files.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The string table of a version resource under its first translation, in the
// order "Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName",
// "LegalCopyright", "LegalTrademarks", "OriginalFileName", "ProductName",
// "ProductVersion", "WOW Version", plus the fixed file version. A string the resource
// does not have is nullopt (one it has may be empty).
struct FileVersionRecord {
    std::array<std::optional<std::string>, 11> strings;
    std::array<std::uint16_t, 4> fixedFileVersion{};  // major, minor, release, build
    bool hasFixedFileVersion = false;
};

class VersionResources {
public:
    virtual ~VersionResources() = default;
    // Blocking file read; nullopt when the file has no version resource.
    virtual std::optional<FileVersionRecord> Read(const std::string& file) const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
VersionResources& WindowsVersionResources();
#endif
