#pragma once
// TFolderSecurity on the Win32 security API. Windows build only; blocking.
//
// Under Wine every file's security is made up from its Unix owner and mode bits (Wine
// keeps no access lists): the owner is the prefix's one user, who also gets full
// access, and nothing set is kept. There every process of the prefix is that one user,
// so Read() reports that user as the Administrators, and the judgement then rests on
// the mode bits (a file anybody may write stays untrusted) and on links.
// DescriptorText() shows what Wine reports, unchanged.
#ifdef _WIN32
#include <string>

#include "Installer/Downloader/platform/FolderSecurity.h"

TFolderSecurity& WindowsFolderSecurity();

// The descriptor each kind of folder is created or taken over with, as
// security-descriptor text.
const wchar_t* FolderRightsText(TFolderRights rights);

// Whether this process runs under Wine.
bool RunsUnderWine();

// The security of `path` as read from the system, without Wine's user reported as the
// Administrators (what Read() does under Wine).
TObjectSecurity ReadSecurityAsReported(const std::string& path);

// The owner and DACL of a security descriptor (a PSECURITY_DESCRIPTOR) as data.
TObjectSecurity SecurityOfDescriptor(void* descriptor);
#endif
