#pragma once
// Names the demo package shares with the installer and with its tests: what the
// maker's package leaves on the machine (registry keys, files, shortcuts), and the
// demo's own settings and records.
//
// Settings of DemoSetup.exe (the environment wins over the package file's trailer):
//   QARTO_DEMO_SETUP_SECONDS=N  how long the installation takes (default 3)
//   QARTO_DEMO_SETUP_FAIL=1     fail instead of installing (no "InstallFinished")
//   a last line "QARTO-DEMO-SETUP seconds=N fail=1" appended to DemoSetup.exe: the
//   same two settings carried by the package file itself, so a server can hand out a
//   package that fails or takes longer (tools/standins/standins.sh does).
// Setting of QartoBrowser.exe:
//   QARTO_DEMO_BROWSER_SECONDS=N  the window closes itself after N seconds (tests)

namespace demo {

inline constexpr char kProductName[] = "Qarto Private Browser";
inline constexpr char kBrowserExeName[] = "QartoBrowser.exe";
inline constexpr char kInitExeName[] = "zyRInit.exe";

// HKEY_LOCAL_MACHINE, 32-bit view: the package is a 32-bit installer.
inline constexpr char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Qarto Private Browser_is1";
// HKEY_CURRENT_USER: "InstallFinished" = 1 (REG_DWORD) ends a successful installation.
inline constexpr char kProductKey[] = "Software\\Qarto Private Browser";
inline constexpr char kInstallFinishedValue[] = "InstallFinished";

// The browser's shortcut on the user's desktop (/TASKS="desktopicon") and pinned to
// the taskbar (/CreateTaskbar), in the folder Windows keeps pinned items in.
inline constexpr char kBrowserShortcutName[] = "Qarto Private Browser.lnk";
inline constexpr char kTaskbarPinFolder[] = "Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";

// The demo's records, for tests: each program appends its command line (UTF-8, one
// line per run) to a file in the install folder, and leaves its last command line and
// outcome under HKEY_CURRENT_USER kDemoRecordKey. The package also appends the SHA-256
// of its own program file (which file ran) and leaves the switches as it read them.
inline constexpr char kSetupCommandLineFile[] = "setup-commandline.txt";
inline constexpr char kSetupSha256File[] = "setup-sha256.txt";
inline constexpr char kBrowserCommandLineFile[] = "browser-commandline.txt";
inline constexpr char kInitCommandLineFile[] = "zyRInit-commandline.txt";
inline constexpr char kDemoRecordKey[] = "Software\\Qarto Demo Package";
inline constexpr char kSetupCommandLineValue[] = "SetupCommandLine";
inline constexpr char kSetupResultValue[] = "SetupResult";
inline constexpr char kSetupSwitchesValue[] = "SetupSwitches";
inline constexpr char kInitCommandLineValue[] = "InitCommandLine";
inline constexpr char kInitResultValue[] = "InitResult";

inline constexpr char kSetupSecondsVariable[] = "QARTO_DEMO_SETUP_SECONDS";
inline constexpr char kSetupFailVariable[] = "QARTO_DEMO_SETUP_FAIL";
inline constexpr char kBrowserSecondsVariable[] = "QARTO_DEMO_BROWSER_SECONDS";
inline constexpr char kSetupTrailerMarker[] = "QARTO-DEMO-SETUP";

// The browser's registration as a handler of web addresses (zyRInit /DefaultBrowser).
inline constexpr char kBrowserProgId[] = "QartoBrowserURL";
inline constexpr char kStartMenuClientName[] = "Qarto Private Browser";

}  // namespace demo
