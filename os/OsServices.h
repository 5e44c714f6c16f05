#pragma once
// The operating-system services the portable core is given. In the Windows build
// WindowsOsServices() returns the real ones; tests build their own from doubles.
#include "os/Clock.h"
#include "os/Disks.h"
#include "os/Locale.h"
#include "os/Registry.h"
#include "os/Shell.h"
#include "os/SystemEnvironment.h"
#include "os/VersionResources.h"

struct OsServices {
    Registry& registry;
    Shell& shell;
    SystemEnvironment& system;
    Disks& disks;
    VersionResources& versions;
    Locale& locale;
    Clock& clock;
};

#ifdef _WIN32
// Process-wide Win32 implementations; valid until the process ends.
OsServices& WindowsOsServices();
#endif
