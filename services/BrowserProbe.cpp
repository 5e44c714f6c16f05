#include "services/BrowserProbe.h"

#include <filesystem>

#include "os/Utf8Path.h"
#include "public/rdcontrol/ini/IniFile.h"
#include "services/SystemInfo.h"

namespace {

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return folder;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TBrowserProbe::TBrowserProbe(const OsServices& os) : FOs(os) {}

std::string TBrowserProbe::GetBrowserInstallDir() const {
    std::string folder =
        FOs.registry.ReadString(RegistryRoot::LocalMachine, kBrowserUninstallKey, "InstallLocation", RegistryView::Bits32)
            .value_or("");
    if (!folder.empty()) return WithBackslash(folder);
    return GetSpecialFolder(FOs, Csidl::ProgramFiles) + "\\Qarto Private Browser\\";
}

bool TBrowserProbe::IsBetaBrowser() {
    if (FBetaState >= 0) return FBetaState == 1;
    const std::string file = GetBrowserInstallDir() + "Update\\Update.ini";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(file), ec)) return false;
    // Only 1 means beta; any other value read (2, -1...) is the release edition.
    FBetaState = TIniFile(file).ReadInteger("Beta", "ver1", 0) == 1 ? 1 : 0;
    return FBetaState == 1;
}

std::string TBrowserProbe::GetBrowserUserDataDir() {
    const char* product = IsBetaBrowser() ? "\\Qarto Private Browser Beta\\" : "\\Qarto Private Browser\\";
    return GetSpecialFolder(FOs, Csidl::Profile) + "\\AppData\\Local" + product + "User Data\\Default\\";
}

std::string TBrowserProbe::GetInstalledBrowserVersion(const std::string& folder) const {
    const std::string base = folder.empty() ? FolderOf(FOs.system.ProgramPath()) : WithBackslash(folder);
    return GetNumericVersion(FOs, base + kBrowserExeName, kVersionIndexFileVersion, "3.0.0.0");
}
