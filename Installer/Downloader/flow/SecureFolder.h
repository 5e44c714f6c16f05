#pragma once
// The folders the elevated installer writes to and later trusts: the download folder
// under the common application-data folder (made, checked, taken over, or replaced by
// a new folder with an unpredictable name), the sweep of what lies in it, and the
// install folder outside the program-files folders. Portable: the system comes
// through TFolderSecurity. Blocking; UI thread.
#include <functional>
#include <string>
#include <vector>

#include "Installer/Downloader/platform/FolderSecurity.h"

using TFolderTrace = std::function<void(const std::string&)>;

// A folder to make safe: `anchor` is taken as it is (never created, checked or
// changed: the common application-data folder, or a drive's root), `parts` lead
// from it down to the folder wanted, and the parts from `ownedFrom` on are the
// product's own, which may be taken over when they fail the check. A part before
// that (a "ProgramData" on another drive) is somebody else's and is never changed.
struct TSecureFolderPlan {
    std::string anchor;  // with a trailing backslash
    std::vector<std::string> parts;
    std::size_t ownedFrom = 0;
};

// The plan for the download folder `folder` ("<root>\Qarto Private Browser\Downloader\"):
// anchored at `commonAppData` when the folder lies in it, else at its drive's root;
// the product's folder and the download folder are the owned ones.
TSecureFolderPlan DownloadFolderPlan(const std::string& folder, const std::string& commonAppData);

// The folder to use, with a trailing backslash; "" when nothing works. Walks the plan
// from the anchor down: a missing folder is created with TFolderRights::
// AdministratorsOnly in the same call (trusted as made); one that exists is judged
// (JudgeSecurity); an owned one that fails is taken over (TakeOverFolder) and judged
// again. When a folder stays untrusted, a new folder "Downloader-<32 hex digits>" is
// created in the same way in the last folder that passed (or in the anchor) and used
// instead. Each decision is traced.
std::string PrepareSecureFolder(TFolderSecurity& security, const TSecureFolderPlan& plan,
                                const TFolderTrace& trace);

// Takes `folder` over: a link is removed as a link and a new folder made in its
// place; a folder gets the Administrators as owner and TFolderRights::
// AdministratorsOnly, then everything in it that is a link, cannot be read, or is
// owned by anybody but Administrators, SYSTEM or TrustedInstaller is removed (links as
// links). True when the folder passes the check afterwards.
bool TakeOverFolder(TFolderSecurity& security, const std::string& folder, const TFolderTrace& trace);

// Everything in `folder` that fails the check (a file the installer will read: the
// package, its state file, the descriptors, the user configuration, "test.ini";
// or anything else) is removed and traced. Returns how many entries were removed.
int SweepUntrustedEntries(TFolderSecurity& security, const std::string& folder, const TFolderTrace& trace);

// Whether `path` lies in one of `programFilesFolders` (compared without regard to
// case, on whole parts). A path with a "." or ".." part never does.
bool IsInProgramFiles(const std::string& path, const std::vector<std::string>& programFilesFolders);

enum class TInstallFolderState {
    Ready,      // created here with TFolderRights::ProgramFilesLike, or there already and trusted
    Untrusted,  // there already and failing the check: the installation must not use it
    Failed,     // could not be created
};
struct TInstallFolderCheck {
    TInstallFolderState state = TInstallFolderState::Failed;
    std::string reason;  // for the trace
};
// An install folder outside the program-files folders: every missing folder from the
// drive's root down is created with TFolderRights::ProgramFilesLike in the same call;
// when the folder itself was there already it is judged. Folders above it that were
// there already are the user's choice and are not judged.
TInstallFolderCheck PrepareInstallFolder(TFolderSecurity& security, const std::string& folder);
