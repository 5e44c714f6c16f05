#pragma once
// Disks and folders as the file system reports them.
#include <cstdint>
#include <string>

class Disks {
public:
    virtual ~Disks() = default;
    // Total size in bytes of all files below `folder`, recursively. Descends only
    // into sub-folders whose attributes are exactly "directory" and whose name does
    // not start with "." (hidden, system or linked folders are not entered).
    // Blocking; 0 for a folder that cannot be read.
    virtual std::uint64_t FolderSize(const std::string& folder) const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Disks& WindowsDisks();
#endif
