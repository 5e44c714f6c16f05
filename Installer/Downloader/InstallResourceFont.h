#pragma once
// Makes the installer's dialog font ("Roboto", carried as the RCDATA resource
// "ROBOTO_REGULAR") available to this process: writes it once to the user's
// temporary folder + "InstallerFonts\Roboto_Regular.ttf" and registers it
// privately. Windows build only. Blocking (one small file write on first run);
// never raises; failures leave the dialogs on the system's substitute font.
#ifdef _WIN32
#include "os/OsServices.h"

void InstallResourceFont(const OsServices& os);
#endif
