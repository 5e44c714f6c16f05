#pragma once
// The package descriptor: two copies are fetched at once from the main and the
// regional update server; the first complete one decides, or the last failure when
// both fail. A decision that arrives while the cancel question is open is held until
// it is answered. Also the descriptor and override files. Portable.
#include <cstdint>
#include <string>

enum class TDescriptorSource { None = 0, Main = 1, Regional = 2 };

inline constexpr char kMainDescriptorFile[] = "dl-info-zyrnew.upt";
inline constexpr char kRegionalDescriptorFile[] = "dl-info-zyrnewAR.upt";
inline constexpr char kSetupFileName[] = "ZYR_Setup.exe";
inline constexpr char kOverrideFileName[] = "test.ini";
inline constexpr std::uint64_t kDownloadFolderFreeBytes = 125829120;  // 120 MiB
// A descriptor is a few lines of INI text. Its download is refused past this length
// (before its file grows) and a file past it is not parsed: what the server or a
// file in the download folder says never makes this process read and parse
// megabytes of text.
inline constexpr std::int64_t kMaxDescriptorBytes = 64 * 1024;

class TDescriptorRace {
public:
    enum class TAction { Ignore, Use, Hold };

    // A descriptor download ended. `questionOpen`: the cancel question is on screen.
    // Use: run UseDescriptor(which) now; Hold: PendingDescriptor() keeps it.
    TAction Finished(TDescriptorSource which, bool success, int errorCode, bool questionOpen);

    // The held decision, taken (and cleared) when the question is answered "No".
    TDescriptorSource TakePending();
    TDescriptorSource PendingDescriptor() const { return FPending; }
    // 0 none ended, 1 one failed, 2 both failed (decided), -1 decided by a success.
    int DescriptorState() const { return FState; }
    void Reset() { FState = 0; FPending = TDescriptorSource::None; }

private:
    int FState = 0;
    TDescriptorSource FPending = TDescriptorSource::None;
};

struct TDescriptor {
    std::string url;
    std::string md5;
};
// Section "Option", keys "URL" and "MD5"; a missing file or key, and a file longer
// than kMaxDescriptorBytes, read as "". Only a descriptor whose download ended
// successfully is read: one that failed may have stopped halfway through a line.
TDescriptor ReadDescriptor(const std::string& file);

// "test.ini" in the download folder, section "Test"; values shorter than 2 characters
// count as absent ("").
struct TDescriptorOverrides {
    std::string descriptorUrl;  // "UPT_URL"
    std::string setupUrl;       // "ZYR_URL"
    std::string setupMd5;       // "MD5", used only with "ZYR_URL"
};
TDescriptorOverrides ReadOverrides(const std::string& downloadFolder);

// "DownloadConfigMD5" of section "GLOBAL" of a download's state file; "" without one.
std::string ReadDownloadConfigMD5(const std::string& stateFile);

// Whether the package file must be deleted before the new download: the state file's
// MD5 and the descriptor's differ (without regard to case) and the file exists.
bool OldSetupMustGo(const std::string& lastMd5, const std::string& descriptorMd5, bool setupFileExists);
