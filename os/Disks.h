#pragma once
// Disks and folders as the file system reports them. Every call is blocking.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Drive types as the system reports them (GetDriveType).
enum class DriveType { Unknown = 0, NoRootDir = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

class Disks {
public:
    virtual ~Disks() = default;
    // Total size in bytes of all files below `folder`, recursively. Descends only
    // into sub-folders whose attributes are exactly "directory" and whose name does
    // not start with "." (hidden, system or linked folders are not entered).
    // Blocking; 0 for a folder that cannot be read.
    virtual std::uint64_t FolderSize(const std::string& folder) const = 0;
    // The type of the drive of `root` ("C:" or "C:\\").
    virtual DriveType TypeOfDrive(const std::string& root) const = 0;
    // Free bytes available to this user on the drive of `root` ("C:", "C:\\" or any
    // folder on it, such as a download folder); nullopt when the system cannot tell.
    virtual std::optional<std::uint64_t> FreeBytes(const std::string& root) const = 0;
    // The roots of the logical drives, such as "C:\\", in the system's order.
    virtual std::vector<std::string> DriveRoots() const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Disks& WindowsDisks();
#endif
