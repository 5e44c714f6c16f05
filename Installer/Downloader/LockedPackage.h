#pragma once
// The downloaded package held open from its last check until its process exists, so
// what runs is exactly what was checked: while it is held nobody else may write,
// rename or delete it (on Windows: a handle that shares reading only). The checks read
// through the held handle, never the path.
#include <cstdint>
#include <memory>
#include <string>

class TLockedPackage {
public:
    virtual ~TLockedPackage() = default;
    // MD5 of the held file's bytes, lowercase hex; "" when it cannot be read. Reads the
    // whole file (blocking).
    virtual std::string Md5Hex() = 0;
};

// A file on the host held by an open stream (POSIX has no share modes): the portable
// stand-in that host builds and tests use.
std::unique_ptr<TLockedPackage> HoldFileForReading(const std::string& file);
