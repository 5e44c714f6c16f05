#pragma once
// The downloaded setup package: whether it is a program image, the command line it
// is run with, and whether it may be run at all. Portable; ExecutableKind reads the
// file (blocking).
#include <cstdint>
#include <optional>
#include <string>

// 0: missing, shorter than 4,096 bytes, or no DOS/PE signatures; 2: a DLL; 1: a program.
int ExecutableKind(const std::string& file);

struct TSetupOptions {
    std::string installPath;    // with a trailing backslash
    std::string installSource;  // "" or "/insur=<valid value>" (InstallSource.h); anything else is left out
    bool bookmark = false;
    bool desktopIcon = true;
    bool taskbar = true;
};
// "/sp- /verysilent /suppressmsgboxes /NORESTART /DIR="<folder>"" and the switches of
// the options, each after one space, built by TCommandLine (os/CommandLine.h). The
// folder goes without its trailing backslash (FolderArgument): the package's tool
// chain reads a backslash before a quote as a backslash, the C runtime's rule as an
// escape, and only a value without one reads the same by both; the package puts
// the backslash back.
std::string SetupParameters(const TSetupOptions& options);

// What to do when the package download has ended.
enum class TSetupDecision {
    RunVerified,    // its MD5 matched: run it, then the theme check
    RunUnverified,  // no MD5 was known: run it, no theme check
    Failure,        // the failure page
};

struct TSetupDownloadResult {
    bool success = false;
    int code = 0;                 // the download manager's outcome code
    bool isTheSetupFile = false;  // the file is <download folder>\ZYR_Setup.exe
    bool expectedMd5Known = false;
    bool md5Matches = false;      // the file's MD5 equals the expected one (when known)
    std::int64_t fileSize = 0;    // 0 when it cannot be read
    std::int64_t serverLength = 0;  // the last length the server announced
    int executableKind = 0;
};

// Code 0 (verified) runs. Codes 4 and 6 (not verified) run only when the size and
// the program image look right and, when an MD5 was expected, the file matches it:
// an elevated installer never runs a package known to differ from what the
// descriptor names (code 4 also means a mismatch after every retry). Everything
// else fails.
TSetupDecision DecideSetupDownload(const TSetupDownloadResult& r);
