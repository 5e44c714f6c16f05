#pragma once
// A file opened for the download engine: 64-bit positioned reads and writes,
// exclusive access while it is being written. Blocking; one thread; RAII.
#include <cstdint>
#include <memory>
#include <string>

class TFileStream {
public:
    enum class Mode {
        CreateExclusive,         // create empty (replacing a file), no sharing
        OpenReadWriteExclusive,  // existing file, read and write, no sharing
        OpenRead,                // existing file, read only, others may read
    };
    // nullopt-like: null and `error` set (the system's message) when it fails.
    static std::unique_ptr<TFileStream> Open(const std::string& path, Mode mode, std::string* error = nullptr);
    ~TFileStream();
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // Writes all of `data` at `offset`; false when the system refuses (disk full).
    bool WriteAt(std::int64_t offset, const void* data, std::size_t length);
    // Reads up to `length` bytes at `offset`; the count read, -1 on error.
    std::int64_t ReadAt(std::int64_t offset, void* data, std::size_t length);
    std::int64_t Size() const;
    bool SetSize(std::int64_t size);
    const std::string& Path() const { return FPath; }

private:
    TFileStream(std::string path, std::intptr_t handle) : FPath(std::move(path)), FHandle(handle) {}
    std::string FPath;
    std::intptr_t FHandle;  // HANDLE on Windows, a descriptor elsewhere
};
