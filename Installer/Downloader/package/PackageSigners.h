#pragma once
// The setup package's publisher, pinned when the program is built: the CMake cache
// variable QARTO_PACKAGE_SIGNER, the SHA-256 of the signer certificate, several
// separated by commas while a certificate is being replaced. Checked and brought to
// lowercase hex at configure time (Installer/Downloader/CMakeLists.txt).
#include <string>
#include <string_view>
#include <vector>

// The built-in fingerprints; empty in a developer build (the MD5 alone decides).
std::vector<std::string> BuiltInPackageSigners();

// The fingerprints of a comma-separated list, empty entries dropped.
std::vector<std::string> SplitPackageSigners(std::string_view list);
