#pragma once
// File-name rules shared by the INI classes that write files.
#include <string>

// A bare file name is made relative to the current folder (".\name"), so that the
// system's profile functions never look for it in the Windows folder.
std::string NormalizeIniFileName(const std::string& fileName);

// Creates the folder of `fileName` with any missing parents, unless it is "\" or
// ".\". Retries up to 101 times: another process (a virus scanner, a second
// installer) may be creating or locking the same path at that moment. Returns
// whether the folder exists afterwards. Blocking; never raises.
bool EnsureIniFolder(const std::string& fileName);
