#pragma once
// Which browser the current user's system opens web addresses with, so that the
// success page offers "make default" only when the product is not already the
// default. Reads the registry and checks files; writes nothing. Blocking, cheap;
// never raises: every failure moves on to the next source, and when all fail the
// caller's default comes back.
#include <cstdint>
#include <string>
#include <string_view>

#include "os/OsServices.h"

enum class TBrowserKind : std::uint8_t {
    bkInternetExplorer = 0,
    bkFirefox = 1,
    bkChrome = 2,
    bkEdgeLegacy = 3,
    bkOther = 4,  // never found; the installer's default
    bkEdge = 5,
    bkOpera = 6,
    bkOwn = 7,
};

// "bkChrome" for bkChrome.
std::string_view BrowserKindName(TBrowserKind kind);

// The kind of the "http" handler: on Windows 8.1 and later (and 10 and 11) from the
// user's choice; on Vista, 7 and 8.0 from "StartMenuInternet" (per user before
// machine), then the user's choice; on XP from the "http" command. `ownExeName` is
// the product's executable ("QartoBrowser.exe"), recognised anywhere in the command.
TBrowserKind GetDefaultBrowserKind(const OsServices& os, TBrowserKind def, const std::string& ownExeName);

// The program path of a registered command: blanks trimmed; a quoted path is
// taken without its quotes and what follows them; an unquoted command stays whole
// (arguments included). False when nothing is left.
bool ExtractCommandPath(std::string& command);

// How Classify recognises browsers: the user-choice method looks for "opera", the
// older methods for "OPERA.EXE" (and the other names in capitals; case is ignored
// either way).
enum class TClassifyNames { UserChoice, Legacy };

// The kind a command path names, comparing without regard to case and anywhere in
// the text: "iexplore.exe" at once; the others only when a file exists at the path
// (through the seam), in the order firefox, chrome, msedge, opera, `ownExeName`.
// `current` when none applies.
TBrowserKind Classify(const OsServices& os, const std::string& path, const std::string& ownExeName,
                      TBrowserKind current, TClassifyNames names);
