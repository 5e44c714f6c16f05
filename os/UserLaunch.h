#pragma once
// Starting programs and addresses with the signed-in user's ordinary rights from an
// installer that runs as administrator: the browser, its companion program, web pages.
// Only the setup package is started elevated.
#include <cstdint>

#include "os/Shell.h"

// Who starts a program that must not inherit administrator rights.
enum class UserLauncher {
    Direct,        // this process: its token has no more rights than the user's
    DesktopShell,  // the desktop shell's process, which runs with the user's token
};

// Direct for a token that is not the elevated half of a split token (nothing to
// drop), DesktopShell for one that is.
UserLauncher LauncherFor(TokenElevationKind elevation);

// Starts the request with the user's ordinary rights, through the launcher its token
// asks for; never elevated: when the desktop shell cannot take it, nothing starts.
// Returns a ShellExecute-style result: above 32 when started, 0 when the desktop shell
// could not take it, or the direct start's error value.
std::intptr_t StartAsUser(Shell& shell, const ShellExecuteRequest& request);
