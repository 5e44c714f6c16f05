#include "os/UserLaunch.h"

UserLauncher LauncherFor(TokenElevationKind elevation) {
    return elevation == TokenElevationKind::Full ? UserLauncher::DesktopShell : UserLauncher::Direct;
}

std::intptr_t StartAsUser(Shell& shell, const ShellExecuteRequest& request) {
    if (LauncherFor(shell.Elevation()) == UserLauncher::Direct) return shell.Execute(request);
    // A started program reports nothing back through the desktop shell: 33 is the
    // first value ShellExecute gives for a success.
    constexpr std::intptr_t kStarted = 33;
    return shell.ExecuteThroughDesktopShell(request) ? kStarted : 0;
}
