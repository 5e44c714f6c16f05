#include "Installer/Downloader/download/DescriptorRace.h"

#include <filesystem>
#include <fstream>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextCodec.h"
#include "public/rdcontrol/ini/SafeIniFile.h"

TDescriptorRace::TAction TDescriptorRace::Finished(TDescriptorSource which, bool success, int errorCode,
                                                   bool questionOpen) {
    if (FState == -1) return TAction::Ignore;
    if (success && errorCode == 0) {
        FState = -1;
    } else {
        ++FState;
        // Both failed: the last one decides; its file is missing or incomplete, so
        // the built-in package address is used.
        if (FState < 2) return TAction::Ignore;
    }
    if (questionOpen) {
        FPending = which;
        return TAction::Hold;
    }
    return TAction::Use;
}

TDescriptorSource TDescriptorRace::TakePending() {
    const TDescriptorSource pending = FPending;
    FPending = TDescriptorSource::None;
    return pending;
}

namespace {
std::string ReadIniValue(const std::string& file, const char* section, const char* key) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(file), ec)) return {};
    try {
        TSafeIniFile ini;
        ini.LoadFromFile(file);
        return ini.ReadString(section, key, "");
    } catch (...) {
        return {};
    }
}

std::string AtLeastTwo(std::string value) { return value.size() >= 2 ? value : std::string(); }
}  // namespace

TDescriptor ReadDescriptor(const std::string& file) {
    // One bounded read, parsed from memory: the length checked is the length parsed.
    std::ifstream in(Utf8Path(file), std::ios::binary);
    if (!in) return {};
    std::string text(static_cast<std::size_t>(kMaxDescriptorBytes) + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto length = static_cast<std::size_t>(in.gcount());
    if (length > static_cast<std::size_t>(kMaxDescriptorBytes)) return {};
    text.resize(length);
    try {
        TSafeIniFile ini;
        ini.LoadFromString(DecodeText(text).utf8);
        return {ini.ReadString("Option", "URL", ""), ini.ReadString("Option", "MD5", "")};
    } catch (...) {
        return {};
    }
}

TDescriptorOverrides ReadOverrides(const std::string& folder) {
    const std::string file = folder + kOverrideFileName;
    return {AtLeastTwo(ReadIniValue(file, "Test", "UPT_URL")), AtLeastTwo(ReadIniValue(file, "Test", "ZYR_URL")),
            AtLeastTwo(ReadIniValue(file, "Test", "MD5"))};
}

std::string ReadDownloadConfigMD5(const std::string& stateFile) {
    return ReadIniValue(stateFile, "GLOBAL", "DownloadConfigMD5");
}

bool OldSetupMustGo(const std::string& lastMd5, const std::string& descriptorMd5, bool setupFileExists) {
    return !SameTextNoCase(lastMd5, descriptorMd5) && setupFileExists;
}
