#pragma once
// Downloads one HTTP(S) resource into one open file over up to PartCount ranged
// connections at once, with a state file that lets a later attempt continue.
//
// Driven by TDownloader, which makes a fresh instance for every attempt, opens the
// file, hands it over (FileStream, not owned) and listens to the events. Owns no
// thread: the connections, the 500 ms statistics timer and the posted start of the
// parts are all serviced by the event loop. Events are raised with this object
// first; it must not be destroyed from inside them (the owner defers that).
//
// File offsets are 64-bit, so resources of 2 GiB and more are handled. Every size
// the server or the state file gives goes through checked arithmetic: a resource
// longer than MaxLength (at most kMaxDownloadBytes) or than the download folder's
// drive has room for is refused before the file grows (OnRequestDone with
// kResourceRefused), and a state file with a count out of range is not used.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Installer/Downloader/download/DownloadState.h"
#include "Installer/Downloader/download/ProgressiveMd5.h"
#include "net/HttpCli.h"
#include "os/Disks.h"
#include "os/FileStream.h"
#include "public/rdcontrol/base/DateTime.h"

// One part connection with its place in the file.
class TMyHttpCli : public THttpCli {
public:
    using THttpCli::THttpCli;
    std::int64_t DataCount = 0;    // bytes of this part already in the file
    std::int64_t StartOffset = 0;  // first byte
    std::int64_t EndOffset = 0;    // last byte; for the last part, the resource's length
    int Index = 0;
    bool Done = false;
    // Where the next body byte of the current answer belongs in the resource: the
    // start of the requested range for 206, 0 for a 200 that ignored the range.
    std::int64_t BodyOffset = 0;
    bool RestartPending = false;
    EventLoop::TimerId RestartTimer = 0;
};

// OnRequestDone's status when the resource is too large to download (MaxLength, or
// the free space of the file's drive); no byte of it was written.
constexpr int kResourceRefused = -2;

class TMultipartHttpDownloader {
public:
    explicit TMultipartHttpDownloader(EventLoop& loop);
    ~TMultipartHttpDownloader();
    TMultipartHttpDownloader(const TMultipartHttpDownloader&) = delete;
    TMultipartHttpDownloader& operator=(const TMultipartHttpDownloader&) = delete;

    // ---- settings and state (read by the owner after events)
    std::vector<std::unique_ptr<TMyHttpCli>> Parts;
    std::int64_t ContentLength = 0;
    std::int64_t PresetLength = 0;
    int PartCount = 4;
    std::int64_t TotalCount = 0;     // bytes in the file: this attempt's plus the state file's
    std::int64_t ReceivedCount = 0;  // body bytes received by this attempt, written or not
    std::int64_t PrevCount = 0;
    std::uint64_t LastTick = 0;
    TDateTime StartTime = 0;
    double Elapsed = 0;    // days
    double SpeedKbps = 0;  // kilobits per second
    double Percent = 0;    // 0 to 100
    std::string Url;
    std::string Proxy, ProxyPort, ProxyUsername, ProxyPassword;
    std::string ExtraHeader;
    std::string RequestVer = "1.0";
    TProxyAuth ProxyAuth = TProxyAuth::None;
    bool AbortFlag = false, PauseFlag = false;
    std::uint64_t BeginTime = 0;
    int TimeOut = 30;  // seconds without data before OnTimeOut
    bool NoSaveState = false;
    std::string ExpectedMD5;
    TFileStream* FileStream = nullptr;
    // Certificate authorities to trust besides the system's (tests).
    std::string TlsCaFile;
    // Hash the content while it arrives (ContentMd5). The owner sets it when it will
    // verify or report the file's MD5.
    bool HashContent = false;
    // The longest resource accepted; more than kMaxDownloadBytes is never accepted.
    std::int64_t MaxLength = kMaxDownloadBytes;
    // Answers the free space of the file's drive (not owned; null: only MaxLength
    // bounds the file). A drive whose free space cannot be told is not refused.
    const Disks* DiskInfo = nullptr;
    // While downloading, the state file is also written every this many seconds, so
    // a crash or a killed process costs at most that much progress. 0: never.
    int SaveStateEverySeconds = 3;

    const std::string& StateFileName() const { return FStateFileName; }
    // A bare file name is taken as ".\name".
    void SetStateFileName(const std::string& name);

    // ---- events
    std::function<void(TMultipartHttpDownloader&, const std::string& message, int code)> OnDisplay;
    std::function<void(TMultipartHttpDownloader&, int status, const std::string& message)> OnRequestDone;
    std::function<void(TMultipartHttpDownloader&)> OnShowStats;
    std::function<void(TMultipartHttpDownloader&)> OnTimeOut;

    // ---- operations
    // Begins from scratch with Url, PartCount and FileStream. Throws
    // std::invalid_argument when PartCount is not positive.
    void Start();
    // Stops all connections and writes the state for a later attempt.
    void Abort();
    // Stops all connections; the state is written once they have all reported.
    // Throw std::logic_error without a state file name.
    void Pause();
    void Resume();
    void SaveStatus();

    // Bytes part `part` must deliver in total.
    std::int64_t PartBytes(const TMyHttpCli& part) const;

    // The MD5 of the file's content (32 lower-case hex digits) once every byte is in
    // and HashContent was set, else "". Hashed behind the writers while the download
    // runs, so verifying a finished download costs no second pass over it. Blocks
    // only for the last blocks.
    std::string ContentMd5();
    // The owner is about to close FileStream: let go of it (and stop hashing it).
    void DetachFile();

private:
    void Display(const std::string& message, int code = 0);
    // "" when a resource of `length` bytes may go into FileStream, else why not.
    std::string RefusalFor(std::int64_t length) const;
    std::unique_ptr<TMyHttpCli> NewPart(int index);
    void CopySettings(TMyHttpCli& part);
    void SetPartHandlers(TMyHttpCli& part);
    void ProbeHeaderEnd(THttpCli& probe);
    void ProbeDone(THttpCli& probe, int error);
    void StartMulti();
    void PartData(TMyHttpCli& part, const char* data, std::size_t length);
    void PartHeaderEnd(TMyHttpCli& part);
    void PartDone(TMyHttpCli& part, int error);
    void RestartPart(TMyHttpCli& part);
    void PartLocationChange(TMyHttpCli& part);
    bool AllDoneCheck(int status, const std::string& text);
    void StartTimer();
    void StopTimer();
    void Tick();
    void FreeParts();
    void AbortPartsAfterStop();
    void ResetHash();
    // Tells the hasher how far the file is complete from its start.
    void ReportCompletePrefix();

    EventLoop& FLoop;
    std::unique_ptr<CurlMulti> FMulti;
    std::shared_ptr<TTlsContext> FTlsContext;
    std::string FStateFileName;
    EventLoop::TimerId FTimer = 0;
    std::uint64_t FLastSave = 0;
    bool FPartsRunning = false;  // the parts (not the probe) are transferring
    std::string FRefusal;        // why the probed resource is refused, "" when it is not
    std::unique_ptr<TProgressiveMd5> FHash;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The ranges the parts fetch: `count` parts of length / count bytes (integer
// division) each, one byte apart, the last one ending at `length` itself (servers
// answer a range past the end with the bytes that exist). 100 bytes in 4 parts give
// 0-25, 26-51, 52-77 and 78-100. `length` within [0, kMaxDownloadBytes], `count`
// within [1, kMaxStateParts].
struct TPartRange {
    std::int64_t start, end;
};
std::vector<TPartRange> SplitIntoParts(std::int64_t length, int count);

// Milliseconds of a steady clock, and the current date-time in days.
std::uint64_t TickMs();
TDateTime NowDateTime();
