#include "Installer/Downloader/InstallResourceFont.h"

#include <windows.h>

#include "Installer/Downloader/FileIfMissing.h"
#include "os/TextConvert.h"
#include "services/SystemInfo.h"

void InstallResourceFont(const OsServices& os) {
    try {
        const std::string folder = GetTempDir(os) + "InstallerFonts\\";
        std::span<const std::uint8_t> bytes;
        if (HRSRC info = FindResourceW(nullptr, L"ROBOTO_REGULAR", MAKEINTRESOURCEW(10) /*RT_RCDATA*/)) {
            if (HGLOBAL data = LoadResource(nullptr, info))
                bytes = {static_cast<const std::uint8_t*>(LockResource(data)), SizeofResource(nullptr, info)};
        }
        // Without the resource there is nothing to write, but a file left by an
        // earlier run is still worth registering.
        const std::string file = bytes.empty() ? folder + "Roboto_Regular.ttf"
                                               : WriteFileIfMissing(folder, "Roboto_Regular.ttf", bytes);
        const std::wstring wfile = Widen(file);
        if (AddFontResourceExW(wfile.c_str(), FR_PRIVATE, nullptr) == 0)
            OutputDebugStringW((L"AddFontResourceEx Failed: " + wfile).c_str());
    } catch (...) {
    }
}
