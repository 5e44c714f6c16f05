#include "os/SystemEnvironment.h"

#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <vector>

#include "os/TextConvert.h"
#include "os/Wow64View_win.h"

namespace {

// The version fields of the process environment block: what the loader recorded for
// this process, untouched by the compatibility layers of GetVersionEx.
bool VersionFromPeb(WindowsVersion& v) {
#if defined(_WIN64)
    constexpr size_t kMajor = 0x118, kMinor = 0x11C, kBuild = 0x120;
#else
    constexpr size_t kMajor = 0xA4, kMinor = 0xA8, kBuild = 0xAC;
#endif
    // The thread block's pointer to the process block, read straight from the segment
    // register (NtCurrentTeb's inline expansion trips GCC's bounds analysis).
    const BYTE* peb = nullptr;
#if defined(_WIN64)
    asm("movq %%gs:0x60, %0" : "=r"(peb));
#else
    asm("movl %%fs:0x30, %0" : "=r"(peb));
#endif
    if (!peb) return false;
    ULONG major = 0, minor = 0;
    USHORT build = 0;
    std::memcpy(&major, peb + kMajor, sizeof major);
    std::memcpy(&minor, peb + kMinor, sizeof minor);
    std::memcpy(&build, peb + kBuild, sizeof build);
    if (major == 0) return false;
    v = {major, minor, build};
    return true;
}

WindowsVersion VersionFromRuntime() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

DWORD Attributes(const std::string& path) { return GetFileAttributesW(Widen(path).c_str()); }

class WinSystemEnvironment final : public SystemEnvironment {
public:
    std::string GetEnv(const std::string& name) const override {
        std::wstring wname = Wow64View::EnvironmentVariable(Widen(name));
        DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
        if (n == 0) return {};
        std::vector<wchar_t> buf(n);
        n = GetEnvironmentVariableW(wname.c_str(), buf.data(), n);
        return Narrow(std::wstring_view(buf.data(), n));
    }

    std::string SystemDrive() const override {
        wchar_t path[MAX_PATH] = {};
        DWORD n = GetModuleFileNameW(GetModuleHandleW(L"kernel32.dll"), path, MAX_PATH);
        if (n < 2 || path[1] != L':') return {};
        return Narrow(std::wstring_view(path, 2));
    }

    std::string UserName() const override {
        wchar_t name[257] = {};
        DWORD n = 257;
        if (!GetUserNameW(name, &n)) return {};
        return Narrow(name);
    }

    WindowsVersion TrueVersion() const override {
        static const WindowsVersion version = [] {
            WindowsVersion v;
            return VersionFromPeb(v) ? v : VersionFromRuntime();
        }();
        return version;
    }

    WindowsVersion ReportedVersion() const override {
        static const WindowsVersion version = VersionFromRuntime();
        return version;
    }

    bool Is64BitWindows() const override { return Wow64View::Is64BitWindows(); }

    bool DirectoryExists(const std::string& path) const override {
        DWORD a = Attributes(path);
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

    bool FileExists(const std::string& path) const override {
        DWORD a = Attributes(path);
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::string SystemDir() const override {
        wchar_t path[MAX_PATH] = {};
        UINT n = GetSystemDirectoryW(path, MAX_PATH);
        return n && n < MAX_PATH ? Narrow(std::wstring_view(path, n)) : std::string();
    }

    std::string TempDir() const override {
        wchar_t path[256] = {};
        DWORD n = GetTempPathW(255, path);
        return n && n < 255 ? Narrow(std::wstring_view(path, n)) : std::string();
    }

    std::string ProgramPath() const override {
        // The loader's record of our own file: a relative or quoted command line
        // cannot make this wrong.
        std::vector<wchar_t> buf(MAX_PATH);
        for (;;) {
            DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
            if (n == 0) return {};
            if (n < buf.size()) return Narrow(std::wstring_view(buf.data(), n));
            buf.resize(buf.size() * 2);
        }
    }

    std::optional<std::array<std::uint8_t, 16>> CreateGuid() const override {
        GUID g;
        if (FAILED(CoCreateGuid(&g))) return std::nullopt;
        std::array<std::uint8_t, 16> bytes;
        std::memcpy(bytes.data(), &g, 16);
        return bytes;
    }
};

}  // namespace

SystemEnvironment& WindowsSystemEnvironment() {
    static WinSystemEnvironment instance;
    return instance;
}
