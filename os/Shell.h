#pragma once
// The Windows shell: special folders and opening documents or addresses.
#include <cstdint>
#include <string>

struct ShellExecuteRequest {
    void* ownerWindow = nullptr;  // HWND, or null
    std::string verb;             // "" means the default verb
    std::string file;             // document, program or address
    std::string parameters;
    std::string folder;
    int showMode = 1;             // SW_SHOWNORMAL
};

// How this process's token stands to administrator rights (TOKEN_ELEVATION_TYPE).
enum class TokenElevationKind {
    Default,  // not a split token: UAC off, a system without it, or a standard user's
    Full,     // the elevated half of a split token: started "as administrator"
    Limited,  // the filtered half of a split token: ordinary rights
};

class Shell {
public:
    virtual ~Shell() = default;
    // Path of a shell special folder (a CSIDL value), "" when the shell cannot give it.
    // The program-files folders are the ones a 32-bit program gets.
    virtual std::string FolderPath(int csidl) const = 0;
    // Starts the request like ShellExecute and returns its result: above 32 on success,
    // otherwise the error value. Does not wait for the started program.
    virtual std::intptr_t Execute(const ShellExecuteRequest& request) = 0;
    // The elevation of this process's own token.
    virtual TokenElevationKind Elevation() const = 0;
    // Hands the request to the desktop shell's own process, which starts it with its
    // token: the signed-in user's ordinary rights. False when the desktop shell cannot
    // be reached or refuses (no shell running, another shell, COM failed).
    virtual bool ExecuteThroughDesktopShell(const ShellExecuteRequest& request) = 0;
};

// CSIDL values used by the system.
namespace Csidl {
constexpr int Desktop = 0x0000;
constexpr int Programs = 0x0002;
constexpr int DesktopDirectory = 0x0010;
constexpr int CommonStartMenu = 0x0016;
constexpr int CommonPrograms = 0x0017;
constexpr int CommonStartup = 0x0018;
constexpr int CommonDesktopDirectory = 0x0019;
constexpr int AppData = 0x001a;
constexpr int LocalAppData = 0x001c;
constexpr int CommonFavorites = 0x001f;
constexpr int CommonAppData = 0x0023;
constexpr int ProgramFiles = 0x0026;
constexpr int Profile = 0x0028;
constexpr int ProgramFilesCommon = 0x002b;
constexpr int CommonTemplates = 0x002d;
constexpr int CommonDocuments = 0x002e;
constexpr int CommonAdminTools = 0x002f;
constexpr int CommonMusic = 0x0035;
constexpr int CommonPictures = 0x0036;
constexpr int CommonVideo = 0x0037;
}  // namespace Csidl

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Shell& WindowsShell();
#endif
