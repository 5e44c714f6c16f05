#include "services/MachineIdentity.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <random>

#include "os/Utf8Path.h"
#include "services/RequestSigning.h"
#include "services/SystemInfo.h"
#include "services/VantorConfig.h"

namespace {

constexpr const char* kMachineGuidKey = "SOFTWARE\\Microsoft\\Cryptography";

std::string LowerAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The first candidate that is not empty, without its braces, in lower case.
std::string FromFallbacks(std::initializer_list<std::string> candidates) {
    std::string value;
    for (const std::string& candidate : candidates)
        if (!candidate.empty()) {
            value = candidate;
            break;
        }
    if (value.size() >= 2 && value.front() == '{') value = value.substr(1, value.size() - 2);
    return LowerAscii(value);
}

}  // namespace

std::string NewGuidText(const OsServices& os, bool strip) {
    std::string text;
    if (auto guid = os.system.CreateGuid()) {
        text = FormatGuid(*guid);
    } else {
        std::random_device seed;
        std::mt19937 random(seed());
        auto below = [&](std::uint32_t limit) { return std::uniform_int_distribution<std::uint32_t>(0, limit - 1)(random); };
        std::array<std::uint8_t, 16> bytes{};
        auto put = [&](size_t at, std::uint32_t value, size_t count) {
            for (size_t i = 0; i < count; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        };
        put(0, below(2147483647u), 4);
        put(4, below(65535u), 2);
        put(6, below(65535u), 2);
        put(8, below(2147483647u), 4);
        put(12, below(2147483647u), 4);
        text = FormatGuid(bytes);
    }
    if (strip) std::erase_if(text, [](char c) { return c == '{' || c == '}' || c == '-'; });
    return text;
}

TMachineIdentity::TMachineIdentity(const OsServices& os, TBrowserProbe& probe) : FOs(os), FProbe(probe) {}

std::string TMachineIdentity::GetMachineId(bool hashed, int which) {
    if (!FComputed) Compute();
    if (which == 1) return hashed ? FAppKeyHash : LowerAscii(FAppKey);
    return hashed ? FAppIDHash : LowerAscii(FAppID);
}

void TMachineIdentity::Compute() {
    FComputed = true;
    Registry& registry = FOs.registry;
    FMachineGuid =
        registry.ReadString(RegistryRoot::LocalMachine, kMachineGuidKey, "MachineGuid", RegistryView::Bits64).value_or("");

    const std::string folder = FProbe.GetBrowserUserDataDir() + kIdentityFolder;
    FFileName = folder + kIdentityFile;
    std::error_code ec;
    if (!std::filesystem::exists(Utf8Path(FFileName), ec)) std::filesystem::create_directories(Utf8Path(folder), ec);
    TVantorConfig file(FFileName, FOs.clock);
    FMachineID = file.ReadString("main", "MachineID", "");
    // The key is taken from the file too, so that a lost registry value comes back
    // from it as the identifier does (and is not replaced by a new GUID).
    FMachineKey = file.ReadString("main", "MachineKey", "");

    if (registry.CreateKey(RegistryRoot::ClassesRoot, kIdentityClassKey, RegistryView::Bits32)) {
        FAppID = registry.ReadString(RegistryRoot::ClassesRoot, kIdentityClassKey, "AppID", RegistryView::Bits32)
                     .value_or("");
        if (FAppID.empty()) {
            FAppID = FromFallbacks({FMachineID, FMachineGuid, NewGuidText(FOs, false)});
            registry.WriteString(RegistryRoot::ClassesRoot, kIdentityClassKey, "AppID", FAppID, RegistryView::Bits32);
        }
        FAppKey = registry.ReadString(RegistryRoot::ClassesRoot, kIdentityClassKey, "AppKey", RegistryView::Bits32)
                      .value_or("");
        if (FAppKey.empty()) {
            FAppKey = FromFallbacks({FMachineKey, NewGuidText(FOs, false)});
            registry.WriteString(RegistryRoot::ClassesRoot, kIdentityClassKey, "AppKey", FAppKey, RegistryView::Bits32);
        }
    } else {
        FAppID = FromFallbacks({FMachineID, FMachineGuid, NewGuidText(FOs, false)});
        FAppKey = FromFallbacks({FMachineKey, NewGuidText(FOs, false)});
    }

    if (FMachineID.empty() || FMachineID != FAppID) file.WriteString("main", "MachineID", FAppID);
    if (FMachineKey.empty() || FMachineKey != FAppKey) file.WriteString("main", "MachineKey", FAppKey);

    FAppIDHash = Md5Hex(LowerAscii(FAppID));
    FAppKeyHash = Md5Hex(LowerAscii(FAppKey));
}
