#pragma once
// The installation folder: where it comes from (an earlier installation or the
// default under the program-files folder), how typed text is cleaned and checked,
// how it is completed with the product folder name, and the free-space rules.
// Portable; blocking (registry and disk queries through the OS seam).
#include <cstdint>
#include <string>

#include "os/OsServices.h"

// Blanks and control characters removed at both ends.
std::string TrimPath(const std::string& text);
std::string WithTrailingBackslash(const std::string& path);
// The drive of a path: "C:" for "C:\x", "\\server\share" for a network path, "" otherwise.
std::string DrivePart(const std::string& path);
bool IsFixedDrive(const OsServices& os, const std::string& path);

// True when the drive lacks `required` free bytes or is not a fixed disk. A drive
// whose attributes are exactly "read-only" counts as having room (nothing is asked);
// a free-space query that fails counts as not enough room.
bool CheckDiskSpace(const OsServices& os, const std::string& drive, std::uint64_t required);

struct InstallPathChoice {
    bool existing = false;  // an earlier installation decides the folder
    std::string path;       // with a trailing backslash
};
// The earlier installation's folder (the current product's uninstall key, or the
// earlier product's with its name replaced), or the default
// "<program files>\Qarto Private Browser\".
InstallPathChoice GetInstallPath(const OsServices& os);

struct QuillSetupPath {
    bool existing = false;
    std::string path;
    bool diskFull = false;  // no fixed drive has room: the caller tells the user and ends
};
// GetInstallPath, moved to the first fixed drive with room when its own drive has
// too little. On an unexpected error, the program's folder + "Qarto Private Browser\".
QuillSetupPath GetQuillSetupPath(const OsServices& os);

// Every backslash-separated part trimmed, joined again.
std::string NormalisePathText(const std::string& text);
// No "/", "*", "?", "\"", "<", ">", "|" or ";" (the characters refused when installing).
bool HasOnlyAllowedPathChars(const std::string& text);
// A character that cannot be typed into the path edit (the full stop included).
bool IsRefusedTypedChar(char32_t c);
// The text cut before its first character that cannot be typed (pasted text).
std::string CutAtRefusedTypedChar(const std::string& text);
// The trimmed text, completed with "\Qarto Private Browser\" unless its last part
// already is that name (compared without regard to case).
std::string CompleteWithProductName(const std::string& text);
