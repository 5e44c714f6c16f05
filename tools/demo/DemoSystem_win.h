#pragma once
// The few system services the demo programs need: their own command line and file,
// the environment, known folders, files written whole or appended, and the programs
// carried as resources. Windows only; paths and text are UTF-8.
//
// The demo programs end an installation step at the first thing the system refuses,
// so these throw DemoError (with what failed and the system's error code) rather
// than returning a code every caller would have to pass on.
#include <windows.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace demo {

struct DemoError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws DemoError "WHAT: <system message> (CODE)".
[[noreturn]] void ThrowSystemError(const std::string& what, DWORD code);

std::string CommandLineText();  // GetCommandLineW, whole
std::string OwnProgramPath();
std::string FolderOf(const std::string& path);  // with a trailing backslash

// An environment variable; nullopt when it is not set.
std::optional<std::string> EnvironmentValue(const char* name);

// A shell folder (CSIDL_DESKTOPDIRECTORY, CSIDL_APPDATA, ...), without a trailing
// backslash. Throws DemoError when the system has none.
std::string ShellFolder(int csidl);

// Creates the folder and its missing parents. Throws DemoError.
void CreateFolders(const std::string& folder);

// Appends `line` and CR LF to `file` (created when missing). Throws DemoError.
void AppendLine(const std::string& file, const std::string& line);

// At most the last `count` bytes of `file`; empty when it cannot be read. When an
// Authenticode signature ends the file (the stand-ins sign the package after adding
// its settings line), the last bytes before the signature and its zero padding.
std::string FileTail(const std::string& file, std::size_t count);

// SHA-256 of the whole file as 64 lower-case hex digits, read through a handle that
// lets others read only (the installer may still hold the package that way). Throws
// DemoError.
std::string FileSha256Hex(const std::string& file);

// Writes the RCDATA resource `id` of this program to `file`, replacing it. Throws
// DemoError (a running program cannot be replaced, for example).
void WriteResourceToFile(int id, const std::string& file);

bool FileExists(const std::string& file);

}  // namespace demo
