#pragma once
// The switches the installer passes to the setup package, checked the way a strict
// package would: every switch must be one the package knows, and the fixed ones must
// all be there. A demo that accepted anything would hide a wrong command line.
// Portable.
#include <string>
#include <vector>

namespace demo {

struct SetupRequest {
    std::string installDir;  // with a trailing backslash
    bool desktopIcon = false;   // /TASKS= lists "desktopicon"
    bool taskbar = false;       // /CreateTaskbar
    bool bookmark = false;      // /BookMark
    std::string installSource;  // the value of /insur=, if given
};

struct SetupSwitchesResult {
    bool ok = false;
    SetupRequest request;  // when ok
    std::string error;     // when not ok: which switch is wrong or missing
};

// `arguments` without the program name (as SplitCommandLine gives them, minus the
// first). Required: /sp- /verysilent /suppressmsgboxes /NORESTART and /DIR= with an
// absolute folder. Optional: /TASKS= (a comma-separated list of known tasks; empty
// means none), /CreateTaskbar, /BookMark, /insur=. Switch names are compared without
// regard to case.
SetupSwitchesResult ParseSetupSwitches(const std::vector<std::string>& arguments);

}  // namespace demo
