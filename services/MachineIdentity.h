#pragma once
// The machine's identity as the product knows it: "AppID" and "AppKey" in the
// registry (HKEY_CLASSES_ROOT\CLSID\{1448035D-2AAB-4749-825E-212695AF6E55}, the
// 32-bit registration), mirrored as "MachineID" and "MachineKey" in the identity
// file of the browser's user-data folder. Each side repairs the other: a lost file
// is rewritten from the registry, a missing registry value is taken from the file;
// with neither, the Windows machine GUID (or a new GUID) starts the identity. The
// device identifier the API receives is the MD5 of the lower-case AppID.
//
// Computed on the first call and then kept for the life of the object (the process):
// later calls touch neither registry nor disk. Registry writes need administrator
// rights; without them the identity rests on the file and the machine GUID.
// Blocking on the first call (registry, one small file); never raises. One thread.
#include <string>

#include "os/OsServices.h"
#include "services/BrowserProbe.h"

inline constexpr const char* kIdentityClassKey = "CLSID\\{1448035D-2AAB-4749-825E-212695AF6E55}";
inline constexpr const char* kIdentityFolder = "{150F4013-6884-4350-8DDC-6BFCB4C5DC15}\\";
inline constexpr const char* kIdentityFile = "Gwkrymvt.dat";

class TMachineIdentity {
public:
    // Both must outlive the object.
    TMachineIdentity(const OsServices& os, TBrowserProbe& probe);

    // `which` 0 selects AppID, 1 AppKey; `hashed` gives the Md5Hex of the lower-case
    // value instead of the lower-case value itself. (true, 0) is the device identifier.
    std::string GetMachineId(bool hashed, int which);

    // The values found or made by the first GetMachineId ("" before it).
    const std::string& AppID() const { return FAppID; }
    const std::string& AppKey() const { return FAppKey; }
    const std::string& MachineID() const { return FMachineID; }
    const std::string& MachineKey() const { return FMachineKey; }
    const std::string& MachineGuid() const { return FMachineGuid; }
    // The identity file's full path (known after the first GetMachineId).
    const std::string& IdentityFileName() const { return FFileName; }

private:
    void Compute();

    const OsServices& FOs;
    TBrowserProbe& FProbe;
    bool FComputed = false;
    std::string FAppID, FAppKey, FMachineID, FMachineKey, FMachineGuid, FFileName;
    std::string FAppIDHash, FAppKeyHash;
};

// A new GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper
// case, or with `strip` its 32 hexadecimal digits alone. When the system cannot make
// one, random numbers fill it.
std::string NewGuidText(const OsServices& os, bool strip);
