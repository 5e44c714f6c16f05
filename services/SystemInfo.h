#pragma once
// Folder, version and address helpers over the operating-system services. None of
// them raises: folders the system cannot give are "", version look-ups return the
// caller's default, sizes of unreadable folders are 0. All are blocking and cheap
// except GetFolderSize, which walks the folder tree.
#include <cstdint>
#include <string>

#include "os/OsServices.h"

// Kinds of GetUserFolder.
constexpr int kUserFolderDesktop = 7;
constexpr int kUserFolderProgramFiles64 = 291;

// Index of the "FileVersion" entry of a version record; the other indices follow
// FileVersionRecord.
constexpr int kVersionIndexFileVersion = 3;

// A common (all-users) shell folder, kind 0 to 12, without fall-back: 0 application
// data, 1 desktop, 2 programs menu, 3 start menu, 4 favourites, 5 start menu,
// 6 start-up, 7 templates, 8 documents, 9 administrative tools, 10 music,
// 11 pictures, 12 videos. Another kind gives "".
std::string GetCommonFolder(const OsServices& os, int kind);

// A per-user shell folder without fall-back: kUserFolderDesktop or
// kUserFolderProgramFiles64 (the program-files folder without a final " (x86)",
// so the 64-bit one on 64-bit Windows). Another kind gives "".
std::string GetUserFolder(const OsServices& os, int kind);

// A shell special folder (a CSIDL value). When the shell gives nothing or a bare
// drive, the user-profile, program-files, common-program-files and the three
// application-data folders fall back to the environment and then to the usual path
// on the system drive; other folders have no fall-back.
std::string GetSpecialFolder(const OsServices& os, int csidl);

// The roaming ("user") or common application-data folder: the shell folder when it
// exists, else the "Shell Folders" registry value when that exists, else the
// standard path on the system drive for the running Windows version.
std::string AppDataFolderWithFallback(const OsServices& os, bool common);

std::string GetSystemDir(const OsServices& os);
// Ends with a backslash.
std::string GetTempDir(const OsServices& os);

// A new GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", or "".
std::string NewGuidString(const OsServices& os);
// The registry form of a GUID given in its in-memory byte order.
std::string FormatGuid(const std::array<std::uint8_t, 16>& bytes);

std::uint64_t GetFolderSize(const OsServices& os, const std::string& folder);

// Entry `index` (0..10) of the file's version record; `def` when the file has no
// version resource or the index is out of range.
std::string GetVersionString(const OsServices& os, const std::string& file, int index,
                             const std::string& def);
// As GetVersionString, but index 3 gives the fixed file version as "a.b.c.d".
std::string GetNumericVersion(const OsServices& os, const std::string& file, int index,
                              const std::string& def);

// True when the 32-bit installer runs under WOW64, that is on 64-bit Windows.
bool IsWow64(const OsServices& os);

// Internet Explorer's program by its full path (the program-files folder, else the
// system's registration when that is a full path); "" when it has none.
std::string InternetExplorerPath(const OsServices& os);

// Opens a web address in the user's browser through the shell, with the user's own
// rights (StartAsUser), with the fall-back to Internet Explorer by its full path for
// systems where the shell cannot open it. Never raises.
void OpenUrl(const OsServices& os, const std::string& url, int showMode = 1, void* ownerWindow = nullptr,
             const std::string& folder = "", const std::string& parameters = "", const std::string& verb = "open");
