#pragma once
// The installer's own uses of the Windows shell and security: the installer shortcut,
// the package run with its process handle, and the download folder's permissions.
// Windows build only; blocking; UI thread.
#ifdef _WIN32
#include <memory>
#include <string>

#include "Installer/Downloader/package/RunningProcess.h"

// A shell shortcut `linkFile` to `target` (working folder: the target's folder). An
// existing link is replaced; empty arguments do nothing; errors leave no shortcut.
void CreateShortcut(const std::string& linkFile, const std::string& target);

// Starts `program` through the shell ("open", normal window) with a process handle;
// nullptr when it could not be started.
std::unique_ptr<TRunningProcess> ShellExecuteWithProcess(const std::string& program, const std::string& parameters);

// Makes `folder` reachable only by administrators and the system, owned by the
// administrators, not inheriting from its parent (TFolderRights::AdministratorsOnly,
// FolderSecurity_win.h), set on the folder itself without following a link; what is
// created in it afterwards inherits it. Returns false when Windows refuses.
bool RestrictToAdministrators(const std::string& folder);
// The permissions RestrictToAdministrators applies, in security-descriptor text form.
const wchar_t* DownloadFolderSecurity();
// The folder's permissions in security-descriptor text form (owner and DACL), read
// without following a link, for checks; "" when they cannot be read.
std::string FolderSecurityText(const std::string& folder);

// Brings `window` (an HWND) to the foreground even when another program has it:
// restored when minimised, input attached to the foreground thread, and the
// foreground lock time-out lifted for the moment when that is not enough.
bool ForceForegroundWindow(void* window);
// Lets the system move `window` with the mouse (the user pressed on a drag area).
void StartWindowDrag(void* window);
// The shell's folder dialog; "" when cancelled.
std::string BrowseForFolder(void* owner, const std::string& title);
#endif
