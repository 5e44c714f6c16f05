#pragma once
// The downloaded package held open from its last check until its process exists, so
// what runs is exactly what was checked: while it is held nobody else may write,
// rename or delete it (on Windows: a handle that shares reading only). The checks read
// through the held handle, never the path.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class TLockedPackage {
public:
    virtual ~TLockedPackage() = default;
    // MD5 of the held file's bytes, lowercase hex; "" when it cannot be read. Reads the
    // whole file (blocking).
    virtual std::string Md5Hex() = 0;
    // The held file's size in bytes; nullopt when it cannot be told.
    virtual std::optional<std::uint64_t> Size() = 0;
    // Reads exactly `size` bytes at `offset` into `buffer` (blocking): false when the
    // file ends before or cannot be read. A package is several hundred MiB: callers
    // read it in pieces, never whole.
    virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// A file on the host held by an open stream (POSIX has no share modes): the portable
// stand-in that host builds and tests use.
std::unique_ptr<TLockedPackage> HoldFileForReading(const std::string& file);
