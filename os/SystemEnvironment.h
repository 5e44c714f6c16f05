#pragma once
// Facts about the running system and process: environment, version, identity,
// standard folders, as the 32-bit installer sees them (see os/Wow64View_win.h).
// Every call is blocking and cheap; values that cannot change while the process
// runs (version, the system's width) are computed once.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
};

class SystemEnvironment {
public:
    virtual ~SystemEnvironment() = default;
    // An environment variable as UTF-8, "" when unset. The program-files variables
    // have the values a 32-bit process gets.
    virtual std::string GetEnv(const std::string& name) const = 0;
    // The drive of the system's kernel library, such as "C:".
    virtual std::string SystemDrive() const = 0;
    // The logged-on user's name.
    virtual std::string UserName() const = 0;
    // The Windows version as the process environment block records it, so that
    // compatibility settings do not change it.
    virtual WindowsVersion TrueVersion() const = 0;
    // The Windows version the system reports to this program (GetVersionEx), which
    // compatibility settings may change. The product's manifest declares Windows 10,
    // so Windows 10 and 11 report 10.
    virtual WindowsVersion ReportedVersion() const = 0;
    // True on 64-bit Windows (the 32-bit installer runs there under WOW64).
    virtual bool Is64BitWindows() const = 0;
    virtual bool DirectoryExists(const std::string& path) const = 0;
    virtual bool FileExists(const std::string& path) const = 0;
    // The Windows system folder, without a trailing backslash.
    virtual std::string SystemDir() const = 0;
    // The temporary folder as the system gives it (with a trailing backslash).
    virtual std::string TempDir() const = 0;
    // The first element of the process's command line (its program file).
    virtual std::string ProgramPath() const = 0;
    // A new GUID in its in-memory byte order, nullopt when none can be created.
    virtual std::optional<std::array<std::uint8_t, 16>> CreateGuid() const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
SystemEnvironment& WindowsSystemEnvironment();
#endif
