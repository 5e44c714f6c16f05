#include "Installer/Downloader/package/PackageSigners.h"

#ifndef QARTO_PACKAGE_SIGNER
#error "QARTO_PACKAGE_SIGNER comes from Installer/Downloader/CMakeLists.txt"
#endif

std::vector<std::string> SplitPackageSigners(std::string_view list) {
    std::vector<std::string> pins;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view pin = list.substr(0, comma);
        if (!pin.empty()) pins.emplace_back(pin);
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
    }
    return pins;
}

std::vector<std::string> BuiltInPackageSigners() { return SplitPackageSigners(QARTO_PACKAGE_SIGNER); }
