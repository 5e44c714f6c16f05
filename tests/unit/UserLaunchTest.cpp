// Which launcher starts a program with the user's rights, for each kind of token.
#include <gtest/gtest.h>

#include "FakeOs.h"
#include "os/UserLaunch.h"

namespace {

struct LaunchCase {
    const char* name;
    TokenElevationKind elevation;
    bool desktopShellTakes;
    std::size_t direct, throughShell;  // starts by each launcher
    bool started;
};

class StartAsUserCases : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartAsUserCases, UsesTheLauncherTheTokenAsksFor) {
    const LaunchCase& c = GetParam();
    FakeOs os;
    os.shell.elevation = c.elevation;
    os.shell.desktopShellTakes = c.desktopShellTakes;
    ShellExecuteRequest request;
    request.file = "C:\\Program Files\\Qarto Private Browser\\QartoBrowser.exe";
    request.parameters = "/InstallerStart";
    const std::intptr_t result = StartAsUser(os.shell, request);
    EXPECT_EQ(result > 32, c.started);
    EXPECT_EQ(os.shell.executed.size(), c.direct);
    EXPECT_EQ(os.shell.throughDesktopShell.size(), c.throughShell);
    for (const auto& r : os.shell.throughDesktopShell) EXPECT_EQ(r.file, request.file);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, StartAsUserCases,
    ::testing::Values(
        // UAC off, or no split tokens (Wine): nothing to drop, started directly.
        LaunchCase{"NotSplit", TokenElevationKind::Default, true, 1, 0, true},
        // Already the user's filtered token.
        LaunchCase{"Limited", TokenElevationKind::Limited, true, 1, 0, true},
        // Elevated half of a split token: the desktop shell starts it.
        LaunchCase{"ElevatedThroughShell", TokenElevationKind::Full, true, 0, 1, true},
        // ... and when the shell cannot take it, nothing starts: never elevated.
        LaunchCase{"ElevatedShellRefuses", TokenElevationKind::Full, false, 0, 1, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
