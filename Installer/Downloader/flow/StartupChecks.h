#pragma once
// The two start-up checks that may refuse to run (the system, the region) and where
// the notice dialogs appear. Portable decisions; the window shows the notices and
// ends the process.
#include <cstdint>

#include "os/OsServices.h"

// 64-bit Windows 7 or later: the 32-bit installer runs on 64-bit Windows only.
bool IsSystemSupported(const OsServices& os);
// Simplified Chinese (PRC) as the system language or the user's interface language.
bool IsRegionRestricted(const OsServices& os);

struct TScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
};
struct TScreenPoint {
    int x = 0, y = 0;
};

// The notice dialog: centred over the installer window when that is visible and not
// minimised, otherwise at its designed place, the top-left corner of the screen.
TScreenPoint NoticePosition(const TScreenRect& mainWindow, bool mainVisible, bool mainMinimised, int width,
                            int height);
// The system notice: centred on the primary monitor.
TScreenPoint CentredOn(const TScreenRect& monitor, int width, int height);
