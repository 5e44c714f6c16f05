#include "public/rdcontrol/base/HexText.h"
#include "tools/demo/DemoSystem_win.h"

#include <shlobj.h>
#include <wincrypt.h>

#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Installer/Downloader/package/PeSignatureLayout.h"
#include "os/TextConvert.h"
#include "os/Utf8Path.h"
#include "os/WinHandles.h"

namespace demo {

void ThrowSystemError(const std::string& what, DWORD code) {
    throw DemoError(what + ": " + std::system_category().message(static_cast<int>(code)) + " (" +
                    std::to_string(code) + ")");
}

std::string CommandLineText() { return Narrow(GetCommandLineW()); }

std::string OwnProgramPath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return Narrow(std::wstring_view(path.data(), n));
        path.resize(path.size() * 2);
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::optional<std::string> EnvironmentValue(const char* name) {
    const std::wstring wideName = Widen(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(n);
    return Narrow(value);
}

std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    const HRESULT hr = SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    if (FAILED(hr)) ThrowSystemError("shell folder " + std::to_string(csidl), static_cast<DWORD>(hr));
    return Narrow(path);
}

void CreateFolders(const std::string& folder) {
    std::error_code error;
    std::filesystem::create_directories(Utf8Path(folder), error);
    if (error) ThrowSystemError("create folder " + folder, static_cast<DWORD>(error.value()));
}

void AppendLine(const std::string& file, const std::string& line) {
    UniqueHandle handle(CreateFileW(Widen(file).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) ThrowSystemError("open " + file, GetLastError());
    const std::string text = line + "\r\n";
    DWORD written = 0;
    if (!WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        ThrowSystemError("write " + file, GetLastError());
}

std::string FileTail(const std::string& file, std::size_t count) {
    UniqueHandle handle(CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (handle.get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(handle.get(), &size)) return {};
    auto readAt = [&](std::uint64_t at, void* buffer, std::size_t n) {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD read = 0;
        return ReadFile(handle.get(), buffer, static_cast<DWORD>(n), &read, &position) && read == n;
    };
    std::string error;
    const auto layout = ReadPeSignatureLayout(readAt, static_cast<std::uint64_t>(size.QuadPart), error);
    const bool signedFile = layout && layout->tableSize != 0;
    const std::uint64_t end = signedFile ? layout->tableOffset : static_cast<std::uint64_t>(size.QuadPart);
    const std::uint64_t start = end > count ? end - count : 0;
    std::string tail(static_cast<std::size_t>(end - start), '\0');
    if (!readAt(start, tail.data(), tail.size())) return {};
    // The signing tool pads the file to 8 bytes before the signature.
    for (int i = 0; signedFile && i < 7 && !tail.empty() && tail.back() == '\0'; ++i) tail.pop_back();
    return tail;
}

namespace {
// CryptoAPI through advapi32, which the demo programs link anyway.
struct CryptProvider {
    HCRYPTPROV handle = 0;
    ~CryptProvider() {
        if (handle) CryptReleaseContext(handle, 0);
    }
};
struct CryptHash {
    HCRYPTHASH handle = 0;
    ~CryptHash() {
        if (handle) CryptDestroyHash(handle);
    }
};
}  // namespace

std::string FileSha256Hex(const std::string& file) {
    UniqueHandle handle(CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) ThrowSystemError("open " + file, GetLastError());
    CryptProvider provider;
    CryptHash hash;
    if (!CryptAcquireContextW(&provider.handle, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT))
        ThrowSystemError("SHA-256 provider", GetLastError());
    if (!CryptCreateHash(provider.handle, CALG_SHA_256, 0, 0, &hash.handle))
        ThrowSystemError("SHA-256 hash", GetLastError());
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            ThrowSystemError("read " + file, GetLastError());
        if (read == 0) break;
        if (!CryptHashData(hash.handle, buffer.data(), read, 0)) ThrowSystemError("SHA-256 of " + file, GetLastError());
    }
    BYTE digest[32] = {};
    DWORD length = sizeof digest;
    if (!CryptGetHashParam(hash.handle, HP_HASHVAL, digest, &length, 0) || length != sizeof digest)
        ThrowSystemError("SHA-256 of " + file, GetLastError());
    return LowerHex(digest, sizeof digest);
}

void WriteResourceToFile(int id, const std::string& file) {
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /*RT_RCDATA*/);
    HGLOBAL loaded = resource ? LoadResource(nullptr, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) ThrowSystemError("resource " + std::to_string(id), GetLastError());
    const DWORD size = SizeofResource(nullptr, resource);
    UniqueHandle handle(CreateFileW(Widen(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) ThrowSystemError("create " + file, GetLastError());
    DWORD written = 0;
    if (!WriteFile(handle.get(), bytes, size, &written, nullptr) || written != size)
        ThrowSystemError("write " + file, GetLastError());
}

bool FileExists(const std::string& file) {
    const DWORD attributes = GetFileAttributesW(Widen(file).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace demo
