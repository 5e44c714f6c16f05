#pragma once
// How DemoSetup.exe behaves on this run: how long it takes and whether it fails.
// Portable: the caller reads the environment and the end of the program file.
#include <optional>
#include <string>
#include <string_view>

namespace demo {

struct SetupSettings {
    int seconds = 3;    // the installation's duration, 0..3600
    bool fail = false;  // fail instead of installing
};

// The settings from, in increasing priority, the defaults, the trailer of the package
// file (its last line "QARTO-DEMO-SETUP seconds=N fail=0|1", found in `fileTail`, the
// file's last bytes) and the environment values (QARTO_DEMO_SETUP_SECONDS and
// QARTO_DEMO_SETUP_FAIL; nullopt when unset). A value that is not a whole number in
// range, or not 0 or 1, is ignored.
SetupSettings ReadSetupSettings(std::string_view fileTail, const std::optional<std::string>& secondsVariable,
                                const std::optional<std::string>& failVariable);

}  // namespace demo
