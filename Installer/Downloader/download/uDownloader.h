#pragma once
// A download that starts with a file name and an address and ends with exactly one
// OnFinished: it owns the target file, retries failed attempts (resuming from the
// state file beside the file), falls back to the system proxy when the direct way
// yields nothing, verifies the MD5 and reports progress. Each attempt is a fresh
// TMultipartHttpDownloader.
//
// Single-threaded: everything runs on the event loop's thread. Events are raised from
// inside the attempt's handlers; a listener may free or restart this object only after
// disconnecting its events (and not from inside them).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Installer/Downloader/download/MultipartHttpDownloader.h"
#include "os/InternetSettings.h"

// Outcome codes of OnFinished (the success flag is given beside each).
constexpr int kDownloadOk = 0;                // true: complete and, when asked, verified
constexpr int kDownloadTimedOut = 1;          // false: time-outs exhausted, or a time-out after Stop
constexpr int kDownloadProxyExhausted = 2;    // false: the proxy fall-back failed too
constexpr int kDownloadUnverified = 4;        // true: retries used up (ranges ignored, MD5 mismatches)
constexpr int kDownloadFileError = 5;         // false: the file cannot be created or opened
constexpr int kDownloadNoExpectedMd5 = 6;     // true: complete, no MD5 to check against
constexpr int kDownloadTooLarge = 7;          // false: longer than MaxLength or the folder's free space; file removed
constexpr int kDownloadCannotStart = -1;      // false: the attempt could not start, or an internal error

enum class TProxyType : std::uint8_t { Direct = 0, WindowsIE = 1 };

class TDownloader {
public:
    // `disks` answers the free space of the target file's drive; kept by reference.
    TDownloader(EventLoop& loop, const InternetSettings& internet, const Disks& disks);
    ~TDownloader();
    TDownloader(const TDownloader&) = delete;
    TDownloader& operator=(const TDownloader&) = delete;

    std::function<void(const std::string& tag, std::int64_t totalCount, double percent, double speedKbps,
                       double elapsedDays)>
        OnProgress;
    std::function<void(bool success, int errorCode, const std::string& fileName, const std::string& tag)> OnFinished;
    std::function<void(TDownloader&)> OnTryProxyFailed;
    std::function<void(const std::string& message)> OnLog;

    int MaxReDownCount = 3;
    int ReDownCount = 0;
    int PartCount = 4;
    bool CheckMD5 = false;
    std::string ExpectedMD5;
    std::int64_t PresetLength = 0;
    std::string Url;
    std::string ComputedMD5;
    // The MD5 of the finished file, whether or not it was checked ("" until then);
    // computed only with CheckMD5 or ComputeFileDigest.
    std::string FileDigest;
    bool ComputeFileDigest = false;
    int ErrorCode = 0;
    std::string LastMessage;
    std::string SaveFileName;
    std::string Tag;
    bool Stopped = false;
    bool FinishedReported = false;
    TProxyType ProxyType = TProxyType::Direct;
    std::string ProxyHost, ProxyPort, ProxyUsername, ProxyPassword;
    // Certificate authorities to trust besides the system's (tests).
    std::string TlsCaFile;
    // Seconds without data before an attempt times out (the attempts' TimeOut).
    int TimeOut = 30;
    // The longest resource accepted (at most kMaxDownloadBytes): a longer one, or
    // one the file's drive has no room for, ends with kDownloadTooLarge before
    // anything is written, without retries.
    std::int64_t MaxLength = kMaxDownloadBytes;

    // Starts an attempt. An argument of 0 or 1 characters keeps the stored value.
    // Throws std::invalid_argument("Save File Name is Empty!" / "URL is Empty!").
    void Start(const std::string& fileName, const std::string& url);
    // Ends the attempt; its state file stays for a later attempt.
    void Stop();
    void Pause();
    void Resume();
    void SetNoSaveState(bool value);
    bool NoSaveState() const { return FNoSaveState; }
    // The last positive length any downloader saw, updated from this one's attempt.
    std::int64_t GetContentLength();
    // The current attempt (null before the first Start).
    TMultipartHttpDownloader* Http() const { return FHttp.get(); }

private:
    bool InitHttp();
    bool OpenTarget(const char* context);
    void OnHttpRequestDone(int status, const std::string& message);
    // Starts again from an empty file or, with the retries used up, reports the file
    // as complete but unverified.
    void RestartFreshOrReportUnverified(const std::function<void()>& beforeRestart);
    void OnHttpTimeOut();
    void OnHttpShowStats();
    void Trace(const std::string& message);
    void Finish(bool success, int code);
    void CloseFile();
    void DeleteFile();
    void RetireAttempt();
    std::string StateFileName() const { return SaveFileName + ".dat"; }

    EventLoop& FLoop;
    const InternetSettings& FInternet;
    const Disks& FDisks;
    std::unique_ptr<TMultipartHttpDownloader> FHttp;
    std::unique_ptr<TFileStream> FFile;
    bool FNoSaveState = false;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The process-wide last positive content length (see GetContentLength).
std::int64_t LastContentLength();

// MD5 of a file as 32 lower-case hex digits, read in 5 MiB blocks through one buffer;
// "" when it cannot be read. The stream form reads it from the start.
std::string FileMD5(TFileStream& stream);
std::string FileMD5(const std::string& fileName);

struct TIEProxy {
    bool found = false;
    std::string host;
    std::string port = "0";
};
// The system proxy for `scheme`, taken from its proxy list: the entry "scheme=…"
// (matched with exact case) up to the next ";", or the whole list; split at its
// first ":" into host and port (no ":" means no proxy).
TIEProxy GetIEProxy(const InternetSettings& internet, const std::string& scheme);

// Where the TLS libraries used to be written out and loaded from the temporary
// folder. They are linked into the program now (a library loaded from a folder that
// other users can write to could be anyone's code), so there is nothing to do.
inline void ExtractTlsLibraries() {}
