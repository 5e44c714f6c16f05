#pragma once
// The names the installer is built around: the product, its earlier name, their
// uninstall keys, and the free space an installation needs.
#include <cstdint>

inline constexpr char kProductName[] = "Qarto Private Browser";
inline constexpr char kEarlierProductName[] = "Qarto VPN Browser";
inline constexpr char kProductUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Qarto Private Browser_is1";
inline constexpr char kEarlierUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Qarto VPN Browser_is1";
inline constexpr char kInstallLocationValue[] = "InstallLocation";
// 500 MiB, on the drive of the installation folder and on the system drive.
inline constexpr std::uint64_t kRequiredFreeBytes = 524288000;
