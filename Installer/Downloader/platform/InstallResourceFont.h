#pragma once
// Makes the installer's dialog font ("Roboto", carried as the RCDATA resource
// "ROBOTO_REGULAR") available to this process: writes it to the user's temporary
// folder + "InstallerFonts\Roboto_Regular.ttf" unless a file there holds exactly the
// resource's bytes, checks it again on a handle that denies writers, renaming and
// deleting, and registers the file privately. A file that is not ours and cannot be
// replaced is never loaded: the font is then registered from the resource in memory.
// Windows build only. Blocking (one small file read, and a write when needed); never
// raises; failures leave the dialogs on the system's substitute font.
#ifdef _WIN32
#include "os/OsServices.h"
#include "os/WinHandles.h"

// Returns that handle when the file was registered (null otherwise). The font
// system reads the file when text is first drawn, long after this: the caller keeps
// the handle for as long as the font is in use (the program: until it ends), so
// nobody can change the file in between.
[[nodiscard]] UniqueHandle InstallResourceFont(const OsServices& os);
#endif
