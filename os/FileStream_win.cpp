#include "os/FileStream.h"

#include <windows.h>

#include "os/TextConvert.h"

namespace {
std::string LastErrorText() {
    wchar_t* text = nullptr;
    const DWORD code = GetLastError();
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text ? Narrow(text) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
    return message;
}
HANDLE H(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
OVERLAPPED At(std::int64_t offset) {
    OVERLAPPED o{};
    o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    o.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return o;
}
}  // namespace

std::unique_ptr<TFileStream> TFileStream::Open(const std::string& path, Mode mode, std::string* error) {
    DWORD access = GENERIC_READ | GENERIC_WRITE, share = 0, disposition = OPEN_EXISTING;
    if (mode == Mode::CreateExclusive) disposition = CREATE_ALWAYS;
    if (mode == Mode::OpenRead) {
        access = GENERIC_READ;
        share = FILE_SHARE_READ;
    }
    HANDLE h = CreateFileW(Widen(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = LastErrorText();
        return nullptr;
    }
    return std::unique_ptr<TFileStream>(new TFileStream(path, reinterpret_cast<std::intptr_t>(h)));
}

TFileStream::~TFileStream() { CloseHandle(H(FHandle)); }

bool TFileStream::WriteAt(std::int64_t offset, const void* data, std::size_t length) {
    const char* p = static_cast<const char*>(data);
    while (length > 0) {
        OVERLAPPED o = At(offset);
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(length > 0x40000000 ? 0x40000000 : length);
        if (!WriteFile(H(FHandle), p, chunk, &written, &o) || written == 0) return false;
        p += written;
        offset += written;
        length -= written;
    }
    return true;
}

std::int64_t TFileStream::ReadAt(std::int64_t offset, void* data, std::size_t length) {
    OVERLAPPED o = At(offset);
    DWORD read = 0;
    const DWORD chunk = static_cast<DWORD>(length > 0x40000000 ? 0x40000000 : length);
    if (!ReadFile(H(FHandle), data, chunk, &read, &o)) return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return read;
}

std::int64_t TFileStream::Size() const {
    LARGE_INTEGER size;
    return GetFileSizeEx(H(FHandle), &size) ? size.QuadPart : -1;
}

bool TFileStream::SetSize(std::int64_t size) {
    LARGE_INTEGER to;
    to.QuadPart = size;
    return SetFilePointerEx(H(FHandle), to, nullptr, FILE_BEGIN) && SetEndOfFile(H(FHandle));
}
