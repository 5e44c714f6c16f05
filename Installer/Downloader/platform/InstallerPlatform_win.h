#pragma once
// The Win32 TInstallerPlatform; one instance per process. Windows build only.
#ifdef _WIN32
#include "Installer/Downloader/platform/InstallerPlatform.h"

TInstallerPlatform& WindowsInstallerPlatform();
#endif
