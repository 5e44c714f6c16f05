#pragma once
// What the folder checks need from the system: the security of a folder or file read
// without following links, folders created with their security descriptor in the same
// call, taking an object over, removing without following links, listing a folder,
// and a random name. Windows gives WindowsFolderSecurity() (FolderSecurity_win.h);
// host tests give a fake. Blocking; UI thread.
#include <string>
#include <vector>

#include "Installer/Downloader/flow/FolderTrust.h"

// The security descriptor a folder is created or taken over with.
enum class TFolderRights {
    // Owner Administrators; protected DACL: Administrators and SYSTEM full access,
    // inherited by files and subfolders; nobody else, not even to read. The download
    // folder and its parent under the common application-data folder.
    AdministratorsOnly,
    // As a child of the program-files folder has it: owner Administrators; protected
    // DACL: Administrators and SYSTEM full, users read and execute, inherited. An
    // install folder outside the program-files folders.
    ProgramFilesLike,
};

class TFolderSecurity {
public:
    virtual ~TFolderSecurity() = default;
    // The security of what is at `path` (a folder with or without its trailing
    // backslash, or a file), read on a handle opened without following a link.
    // exists = false when there is nothing.
    virtual TObjectSecurity Read(const std::string& path) = 0;
    // Creates the folder `path` (its parent must exist) with `rights` in the same
    // call. False when anything is there already or the system refuses.
    virtual bool CreateFolder(const std::string& path, TFolderRights rights) = 0;
    // Makes the Administrators the owner of the folder `path` and gives it `rights`,
    // on the object itself (a link is not followed). Nothing below it changes.
    virtual bool TakeOver(const std::string& path, TFolderRights rights) = 0;
    // Removes what is at `path`: a file, a link as a link (never what it points to),
    // a folder with everything in it (never walking into a link).
    virtual bool Remove(const std::string& path) = 0;
    // The names in the folder `path` (no "." and ".."); empty when it cannot be read.
    virtual std::vector<std::string> List(const std::string& folder) = 0;
    // 32 hexadecimal digits from the system's random source; "" when it fails.
    virtual std::string RandomHex128() = 0;
    // The owner and DACL of `path` in security-descriptor text, for traces; "" when
    // they cannot be read.
    virtual std::string DescriptorText(const std::string& path) = 0;
};
