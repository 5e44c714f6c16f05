#pragma once
// The installer keeps no log file. WriteInstallerLog is the one log call the
// installer makes; it does nothing, so a message costs no disk access and can
// never fail the caller.
#include <optional>
#include <string>

// The name the installer passes to WriteInstallerLog.
inline constexpr const char* kInstallerLogName = "QuillInstaller_Downloader.log";

// No effect: writes nothing, creates nothing, raises nothing.
void WriteInstallerLog(const std::string& message, const std::string& logFileName);

// The log file a crash report carries when it is present: "Downloader.log" in
// "Merrow\QuillDownloader" below the common application-data folder. nullopt when
// the folder is unknown ("") or the file does not exist. Blocking (one stat).
std::optional<std::string> CrashReportLogAttachment(const std::string& commonAppDataDir);
