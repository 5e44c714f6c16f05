// zyRInit.exe of the demo package: the browser's companion program. The installer
// starts it as  zyRInit.exe /DefaultBrowser /installdir="<install folder>"  to make
// the browser the user's default browser (DefaultBrowserRegistration_win.h says what
// that writes). It records every command line in zyRInit-commandline.txt beside
// itself and under the demo's record key.
//
// Exit codes: 0 registered; 1 no QartoBrowser.exe in the folder; 2 a command line
// it does not take; 3 a registry write failed.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "os/TextConvert.h"
#include "tools/demo/DefaultBrowserRegistration_win.h"
#include "tools/demo/DemoArguments.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoRegistry_win.h"
#include "tools/demo/DemoSystem_win.h"

namespace {
using namespace demo;

void RecordResult(const std::string& text) {
    OutputDebugStringW(Widen("zyRInit: " + text).c_str());
    try {
        SetRegString(HKEY_CURRENT_USER, kDemoRecordKey, kInitResultValue, text);
    } catch (const DemoError&) {
    }
}

void RecordCommandLine(const std::string& commandLine) {
    try {
        SetRegString(HKEY_CURRENT_USER, kDemoRecordKey, kInitCommandLineValue, commandLine);
        AppendLine(FolderOf(OwnProgramPath()) + kInitCommandLineFile, commandLine);
    } catch (const DemoError& error) {
        OutputDebugStringW(Widen(std::string("zyRInit: ") + error.what()).c_str());
    }
}
}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::string commandLine = CommandLineText();
    RecordCommandLine(commandLine);

    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (!arguments.empty()) arguments.erase(arguments.begin());
    bool makeDefault = false;
    std::optional<std::string> installDir;
    for (const std::string& argument : arguments) {
        if (IsSwitch(argument, "DefaultBrowser")) {
            makeDefault = true;
        } else if (auto value = SwitchValue(argument, "installdir")) {
            installDir = *value;
        } else {
            RecordResult("refused: unknown switch " + argument);
            return 2;
        }
    }
    if (!makeDefault || !installDir || !IsAbsoluteWindowsPath(*installDir)) {
        RecordResult("refused: expected /DefaultBrowser /installdir=<absolute folder>");
        return 2;
    }
    const std::string browserExe = WithTrailingBackslash(*installDir) + kBrowserExeName;
    if (!FileExists(browserExe)) {
        RecordResult("failed: no " + browserExe);
        return 1;
    }
    try {
        RegisterDefaultBrowser(browserExe);
    } catch (const DemoError& error) {
        RecordResult(std::string("failed: ") + error.what());
        return 3;
    }
    RecordResult("registered " + browserExe);
    return 0;
}
