#pragma once
// Whether this machine's administrator allowed the installer's test hooks: the files
// and switches testers and support staff use to point an installer elsewhere
// ("test.ini" in the download folder, "Testupdate.ini" beside the program,
// "/ThemePage"). The installer runs elevated while those files lie in folders a
// standard user can write (the Downloads folder beside Setup.exe, a ProgramData
// folder created before the installer), so they count only where the deployment
// override key, which administrators alone can write, says so: string value
// "TestHooks" = "1" under HKLM "SOFTWARE\Qarto Private Browser\InstallerDev" in the
// 32-bit view. Every part of the installer asks this one function.
//
// Blocking: one registry read. Portable.
#include <string>

#include "os/Registry.h"

bool TestHooksEnabled(const Registry& registry);

// The debugger line the installer writes when it leaves such a file unread.
std::string TestFileIgnoredTrace(const std::string& fileName);
