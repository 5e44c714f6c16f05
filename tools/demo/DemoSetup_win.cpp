// DemoSetup.exe: a stand-in of the maker's silent setup package, for demonstrations
// and end-to-end tests of the installer. It takes the installer's switches
// (/sp- /verysilent /suppressmsgboxes /NORESTART /DIR="..." [/TASKS="..."]
// [/CreateTaskbar] [/BookMark] [/insur=...]), shows no window, takes a few seconds,
// and then leaves what the real package leaves: QartoBrowser.exe and zyRInit.exe (carried
// here as resources) in the folder, the uninstall key with "InstallLocation", the
// desktop and taskbar shortcuts that were asked for and, last, "InstallFinished" = 1.
// Its settings are in DemoNames.h.
//
// Exit codes: 0 installed; 1 told to fail; 2 a command line the package does not
// take; 3 an installation step failed. Only 0 leaves "InstallFinished".
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "os/TextConvert.h"
#include "tools/demo/DemoArguments.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoRegistry_win.h"
#include "tools/demo/DemoResources.h"
#include "tools/demo/DemoSystem_win.h"
#include "tools/demo/SetupSettings.h"
#include "tools/demo/SetupSwitches.h"
#include "tools/demo/ShellLink_win.h"

namespace {
using namespace demo;

// Where tests and people look for the outcome; a failure to record it changes nothing.
void RecordResult(const std::string& text) {
    OutputDebugStringW(Widen("DemoSetup: " + text).c_str());
    try {
        SetRegString(HKEY_CURRENT_USER, kDemoRecordKey, kSetupResultValue, text);
    } catch (const DemoError&) {
    }
}

// The switches as this package read them, for tests that check what reached it:
// "dir=<folder> desktopicon=0|1 taskbar=0|1 bookmark=0|1 insur=<value>".
std::string DescribeSwitches(const SetupRequest& request) {
    return "dir=" + request.installDir + " desktopicon=" + (request.desktopIcon ? "1" : "0") +
           " taskbar=" + (request.taskbar ? "1" : "0") + " bookmark=" + (request.bookmark ? "1" : "0") +
           " insur=" + request.installSource;
}

class ComApartment {
public:
    ComApartment() : FInitialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (FInitialised) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool FInitialised;
};

void WriteUninstallKey(const std::string& installDir, const std::string& browserExe) {
    // The package is a 32-bit installer: its key lives in the 32-bit view, whichever
    // width this stand-in was built for.
    const REGSAM view = KEY_WOW64_32KEY;
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", kProductName, view);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion", QARTO_DEMO_BROWSER_VERSION, view);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon", browserExe, view);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "Publisher", "Qarto", view);
    SetRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", installDir, view);
}

// Writes a carried program into the folder. The browser of an earlier installation
// may still be running: Windows lets a running program's file be renamed but not
// replaced, so it is moved aside, as installers do, and removed at the next restart.
void InstallProgram(int resource, const std::string& file) {
    const std::wstring wide = Widen(file);
    if (FileExists(file) && !DeleteFileW(wide.c_str())) {
        const std::wstring aside = wide + L".old";
        DeleteFileW(aside.c_str());
        if (!MoveFileExW(wide.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING))
            ThrowSystemError("move aside " + file, GetLastError());
        MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    }
    WriteResourceToFile(resource, file);
}

void Install(const SetupRequest& request) {
    const std::string browserExe = request.installDir + kBrowserExeName;
    InstallProgram(IDR_DEMO_BROWSER, browserExe);
    InstallProgram(IDR_DEMO_INIT, request.installDir + kInitExeName);
    WriteUninstallKey(request.installDir, browserExe);
    if (request.desktopIcon) {
        CreateShellLink(ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + kBrowserShortcutName, browserExe,
                        request.installDir, kProductName);
    }
    if (request.taskbar) {
        // What pinning leaves behind; the taskbar shows the links of this folder.
        const std::string pinned = ShellFolder(CSIDL_APPDATA) + "\\" + kTaskbarPinFolder;
        CreateFolders(pinned);
        CreateShellLink(pinned + "\\" + kBrowserShortcutName, browserExe, request.installDir, kProductName);
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::string commandLine = CommandLineText();
    try {
        SetRegString(HKEY_CURRENT_USER, kDemoRecordKey, kSetupCommandLineValue, commandLine);
        // The real package clears it first too: a run that fails must not inherit the
        // success of an earlier installation.
        DeleteRegValue(HKEY_CURRENT_USER, kProductKey, kInstallFinishedValue);
    } catch (const DemoError& error) {
        RecordResult(std::string("failed: ") + error.what());
        return 3;
    }

    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    const SetupSwitchesResult switches = ParseSetupSwitches(arguments);
    if (!switches.ok) {
        RecordResult("refused: " + switches.error);
        return 2;
    }
    const SetupRequest& request = switches.request;
    const SetupSettings settings = ReadSetupSettings(FileTail(OwnProgramPath(), 512),
                                                     EnvironmentValue(kSetupSecondsVariable),
                                                     EnvironmentValue(kSetupFailVariable));
    try {
        SetRegString(HKEY_CURRENT_USER, kDemoRecordKey, kSetupSwitchesValue, DescribeSwitches(request));
        CreateFolders(request.installDir);
        AppendLine(request.installDir + kSetupCommandLineFile, commandLine);
        AppendLine(request.installDir + kSetupSha256File, FileSha256Hex(OwnProgramPath()));
        Sleep(static_cast<DWORD>(settings.seconds) * 1000);
        if (settings.fail) {
            RecordResult("failed: told to fail");
            return 1;
        }
        const ComApartment com;
        Install(request);
        SetRegDword(HKEY_CURRENT_USER, kProductKey, kInstallFinishedValue, 1);
    } catch (const DemoError& error) {
        RecordResult(std::string("failed: ") + error.what());
        return 3;
    }
    RecordResult("installed");
    return 0;
}
