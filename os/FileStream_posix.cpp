#include "os/FileStream.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& path, Mode mode, std::string* error) {
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::CreateExclusive: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
        case Mode::OpenReadWriteExclusive: flags |= O_RDWR; break;
        case Mode::OpenRead: flags |= O_RDONLY; break;
    }
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return nullptr;
    }
    // Advisory here, but it keeps two engines off one file as Windows' sharing does.
    if (mode != Mode::OpenRead && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (error) *error = "the file is in use by another process";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TFileStream>(new TFileStream(path, fd));
}

TFileStream::~TFileStream() { ::close(static_cast<int>(FHandle)); }

bool TFileStream::WriteAt(std::int64_t offset, const void* data, std::size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::pwrite(static_cast<int>(FHandle), p, length, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        offset += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t TFileStream::ReadAt(std::int64_t offset, void* data, std::size_t length) {
    for (;;) {
        const ssize_t n = ::pread(static_cast<int>(FHandle), data, length, offset);
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::int64_t TFileStream::Size() const {
    struct stat st {};
    return ::fstat(static_cast<int>(FHandle), &st) == 0 ? st.st_size : -1;
}

bool TFileStream::SetSize(std::int64_t size) { return ::ftruncate(static_cast<int>(FHandle), size) == 0; }
