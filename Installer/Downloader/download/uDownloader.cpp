#include "Installer/Downloader/download/uDownloader.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "os/FileAttributes.h"
#include "os/Utf8Path.h"
#include "public/rdcontrol/base/CheckedMath.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/ini/IniFileNames.h"
#include "services/Md5.h"

namespace fs = std::filesystem;

namespace {

std::int64_t gLastContentLength = 0;

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(Utf8Path(path), ec);
}

void Remove(const std::string& path) {
    std::error_code ec;
    fs::remove(Utf8Path(path), ec);
}

}  // namespace

std::int64_t LastContentLength() { return gLastContentLength; }

// ---- MD5 and proxy ---------------------------------------------------------------

std::string FileMD5(TFileStream& stream) {
    constexpr std::size_t kBlock = 5 * 1024 * 1024;
    std::vector<std::uint8_t> buffer(kBlock);
    TMd5 md5;
    for (std::int64_t offset = 0;;) {
        const std::int64_t n = stream.ReadAt(offset, buffer.data(), kBlock);
        if (n < 0) return {};
        if (n == 0) break;
        md5.Update(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(n)));
        offset += n;
    }
    return md5.HexDigest();
}

std::string FileMD5(const std::string& fileName) {
    auto stream = TFileStream::Open(fileName, TFileStream::Mode::OpenRead);
    return stream ? FileMD5(*stream) : std::string();
}

TIEProxy GetIEProxy(const InternetSettings& internet, const std::string& scheme) {
    TIEProxy result;
    result.host.clear();
    const ProxySetting setting = internet.CurrentProxy();
    if (!setting.useProxy || setting.proxyList.empty()) return result;
    std::string list = setting.proxyList;
    const std::size_t entry = list.find(scheme + "=");
    if (entry != std::string::npos) {
        list = list.substr(entry + scheme.size() + 1);
        list = list.substr(0, list.find(';'));
    }
    const std::size_t colon = list.find(':');
    if (colon == std::string::npos) return result;
    result.host = list.substr(0, colon);
    result.port = list.substr(colon + 1);
    result.found = true;
    return result;
}

// ---- TDownloader -------------------------------------------------------------------

TDownloader::TDownloader(EventLoop& loop, const InternetSettings& internet, const Disks& disks)
    : FLoop(loop), FInternet(internet), FDisks(disks) {}

TDownloader::~TDownloader() {
    *FAlive = false;
    if (FHttp) {
        try {
            Stop();
        } catch (...) {
        }
    }
    FHttp.reset();
}

void TDownloader::Trace(const std::string& message) {
    if (OnLog) OnLog(message);
}

void TDownloader::Finish(bool success, int code) {
    if (OnFinished) OnFinished(success, code, SaveFileName, Tag);
}

void TDownloader::CloseFile() {
    if (FHttp) FHttp->DetachFile();
    FFile.reset();
}

void TDownloader::DeleteFile() {
    CloseFile();
    Remove(SaveFileName);
}

void TDownloader::RetireAttempt() {
    if (!FHttp) return;
    // The attempt may be the one whose event is running right now: it is freed on a
    // later turn of the loop, never under its own feet.
    std::shared_ptr<TMultipartHttpDownloader> old(FHttp.release());
    old->OnDisplay = nullptr;
    old->OnRequestDone = nullptr;
    old->OnShowStats = nullptr;
    old->OnTimeOut = nullptr;
    old->DetachFile();
    FLoop.Post([old] {});
}

void TDownloader::SetNoSaveState(bool value) {
    FNoSaveState = value;
    if (FHttp) FHttp->NoSaveState = value;
}

std::int64_t TDownloader::GetContentLength() {
    if (FHttp && FHttp->ContentLength > 0) gLastContentLength = FHttp->ContentLength;
    return gLastContentLength;
}

void TDownloader::Start(const std::string& fileName, const std::string& url) {
    if (fileName.size() > 1) {
        SaveFileName = fileName;
        EnsureIniFolder(SaveFileName);
    }
    if (url.size() > 1) Url = url;
    if (SaveFileName.empty()) throw std::invalid_argument("Save File Name is Empty!");
    if (Url.empty()) throw std::invalid_argument("URL is Empty!");

    if (!InitHttp()) return;
    Stopped = false;
    try {
        FHttp->Start();
    } catch (const std::exception& e) {
        Trace("Unable to start download. " + SaveFileName + " Exception: " + e.what());
        ErrorCode = kDownloadCannotStart;
        Finish(false, kDownloadCannotStart);
    }
}

bool TDownloader::OpenTarget(const char* context) {
    std::string error;
    if (Exists(StateFileName()) && Exists(SaveFileName)) {
        SetFileAttributesOf(SaveFileName, FileAttribute::Archive | FileAttribute::Normal);
        FFile = TFileStream::Open(SaveFileName, TFileStream::Mode::OpenReadWriteExclusive, &error);
        if (FFile) return true;
        Trace(std::string(context) + "fmOpenWrite File Failed: " + SaveFileName + "|" + error);
        // Someone holds the file: it may already be the finished download.
        ComputedMD5 = FileMD5(SaveFileName);
        if (!SameTextNoCase(ComputedMD5, ExpectedMD5) || ExpectedMD5.empty()) {
            ErrorCode = kDownloadFileError;
            Finish(false, kDownloadFileError);
        } else if (!FinishedReported) {
            FinishedReported = true;
            ErrorCode = kDownloadOk;
            Finish(true, kDownloadOk);
        }
        return false;
    }
    Remove(StateFileName());
    FFile = TFileStream::Open(SaveFileName, TFileStream::Mode::CreateExclusive, &error);
    if (FFile) return true;
    Trace(std::string(context) + "fmCreate File Failed: " + SaveFileName + "|" + error);
    ErrorCode = kDownloadFileError;
    Finish(false, kDownloadFileError);
    return false;
}

bool TDownloader::InitHttp() {
    if (FHttp) {
        Stop();
        RetireAttempt();
    }
    FinishedReported = false;

    FHttp = std::make_unique<TMultipartHttpDownloader>(FLoop);
    FHttp->OnDisplay = [this](TMultipartHttpDownloader&, const std::string& message, int code) {
        LastMessage = message;
        ErrorCode = code;
        Trace(message + "|ErrorCode:" + std::to_string(code));
    };
    FHttp->OnRequestDone = [this](TMultipartHttpDownloader&, int status, const std::string& message) {
        OnHttpRequestDone(status, message);
    };
    FHttp->OnShowStats = [this](TMultipartHttpDownloader&) { OnHttpShowStats(); };
    FHttp->OnTimeOut = [this](TMultipartHttpDownloader&) { OnHttpTimeOut(); };
    FHttp->ExpectedMD5 = ExpectedMD5;
    FHttp->PresetLength = PresetLength;
    FHttp->NoSaveState = FNoSaveState;
    FHttp->Url = Url;
    FHttp->SetStateFileName(StateFileName());
    FHttp->PartCount = PartCount;
    FHttp->TlsCaFile = TlsCaFile;
    FHttp->TimeOut = TimeOut;
    FHttp->MaxLength = MaxLength;
    FHttp->DiskInfo = &FDisks;
    FHttp->HashContent = CheckMD5 || ComputeFileDigest;

    if (!OpenTarget("")) return false;
    FHttp->FileStream = FFile.get();

    if (ProxyType == TProxyType::WindowsIE) {
        const TIEProxy proxy = GetIEProxy(FInternet, "Http");
        FHttp->ProxyAuth = TProxyAuth::Ntlm;
        FHttp->Proxy = proxy.host;
        FHttp->ProxyPort = proxy.port;
        char line[256];
        std::snprintf(line, sizeof line, "InitHttp(FProxyType = ptWindowsIE) host:%s, port:%s", proxy.host.c_str(),
                      proxy.port.c_str());
        Trace(line);
    }
    return true;
}

void TDownloader::OnHttpRequestDone(int status, const std::string& message) {
    if (!FHttp || FHttp->AbortFlag || FHttp->PauseFlag) return;
    std::weak_ptr<bool> alive = FAlive;
    if (status == kResourceRefused) {
        // Fatal: another attempt or a proxy would be told the same length. Nothing of
        // the resource was written; the empty file and any state file go.
        Trace("Refused: " + message + " " + SaveFileName);
        DeleteFile();
        Remove(StateFileName());
        ErrorCode = kDownloadTooLarge;
        Finish(false, kDownloadTooLarge);
        return;
    }
    try {
        if (status == 200) {
            ErrorCode = kDownloadOk;
            Trace("Finished: " + SaveFileName);
            const auto parts = static_cast<std::int64_t>(FHttp->Parts.size());
            // Every connection got the whole resource: the server ignores ranges.
            const std::optional<std::int64_t> everyPartGotAll = CheckedMul(parts, FHttp->ContentLength);
            if (parts > 1 && everyPartGotAll && FHttp->ReceivedCount >= *everyPartGotAll) {
                char line[200];
                std::snprintf(line, sizeof line,
                              "TDownloader.OnHttpRequestDone(Restart): part:%d|conLen:%lld|totalLen:%lld|redownCount:%d",
                              static_cast<int>(parts), static_cast<long long>(FHttp->ContentLength),
                              static_cast<long long>(FHttp->ReceivedCount), ReDownCount);
                Trace(line);
                RestartFreshOrReportUnverified([this] { PartCount = 1; });
                return;
            }
            if (CheckMD5) {
                if (ExpectedMD5.empty()) {
                    CloseFile();
                    ErrorCode = kDownloadNoExpectedMd5;
                    Finish(true, kDownloadNoExpectedMd5);
                    return;
                }
                ComputedMD5 = FHttp->ContentMd5();
                if (ComputedMD5.empty()) ComputedMD5 = FFile ? FileMD5(*FFile) : FileMD5(SaveFileName);
                if (!SameTextNoCase(ComputedMD5, ExpectedMD5)) {
                    Trace("CheckFileMD5: Failed: " + ExpectedMD5 + "|" + ComputedMD5);
                    Trace("CheckFileMD5: Failed: " + SaveFileName);
                    RestartFreshOrReportUnverified([] {});
                    return;
                }
            }
            FileDigest = CheckMD5 ? ComputedMD5 : FHttp->ContentMd5();
            CloseFile();
            if (!FinishedReported) {
                FinishedReported = true;
                Finish(true, kDownloadOk);
            }
            return;
        }

        CloseFile();
        Trace("Finished, error #" + std::to_string(status) + " " + message + " " + SaveFileName + " ReCount: " +
              std::to_string(ReDownCount) + " MaxCount: " + std::to_string(MaxReDownCount));
        if (ReDownCount < MaxReDownCount) {
            ++ReDownCount;
            Start("", "");
            return;
        }
        if (ProxyType == TProxyType::Direct && FHttp->Percent < 0.1 && GetIEProxy(FInternet, "Http").found) {
            ++ReDownCount;
            ProxyType = TProxyType::WindowsIE;
            Start("", "");
            return;
        }
        Trace("Proxy Try Download Failed: " + SaveFileName);
        if (ProxyType == TProxyType::Direct) {
            ++ReDownCount;
            ProxyType = TProxyType::WindowsIE;
        }
        FHttp->OnRequestDone = nullptr;
        if (OnTryProxyFailed && ReDownCount <= MaxReDownCount + 1 && ProxyType != TProxyType::Direct) {
            OnTryProxyFailed(*this);
            return;
        }
        ErrorCode = kDownloadProxyExhausted;
        Finish(false, kDownloadProxyExhausted);
    } catch (const std::exception& e) {
        if (!alive.lock()) return;
        CloseFile();
        Trace(std::string("TDownloader.OnHttpRequestDone(except):") + e.what());
        if (FHttp) FHttp->OnRequestDone = nullptr;
        ErrorCode = kDownloadCannotStart;
        Finish(false, kDownloadCannotStart);
    }
}

void TDownloader::RestartFreshOrReportUnverified(const std::function<void()>& beforeRestart) {
    if (ReDownCount < MaxReDownCount) {
        ++ReDownCount;
        Stop();
        DeleteFile();
        beforeRestart();
        Start("", "");
    } else {
        CloseFile();
        ErrorCode = kDownloadUnverified;
        Finish(true, kDownloadUnverified);
    }
}

void TDownloader::OnHttpTimeOut() {
    Trace("OnTimeOut ->");
    try {
        if (Stopped) {
            CloseFile();
            ErrorCode = kDownloadTimedOut;
            Finish(false, kDownloadTimedOut);
            return;
        }
        Trace("Time Out FReDownCount: " + std::to_string(ReDownCount));
        Trace("Time Out FMaxReDownCount: " + std::to_string(MaxReDownCount));
        if (ReDownCount < MaxReDownCount) {
            Trace("Time out ReDownload ->: " + SaveFileName);
            ++ReDownCount;
            Start("", "");
        } else {
            CloseFile();
            ErrorCode = kDownloadTimedOut;
            Trace("Time out ReDownload 3 Count Failed!: " + SaveFileName);
            Finish(false, kDownloadTimedOut);
        }
    } catch (const std::exception& e) {
        Trace(std::string("TDownloader.OnTimeOut(except):") + e.what());
        CloseFile();
        Finish(false, kDownloadTimedOut);
    }
}

void TDownloader::OnHttpShowStats() {
    if (!FHttp) return;
    if (FHttp->ContentLength > 0) gLastContentLength = FHttp->ContentLength;
    if (OnProgress) OnProgress(Tag, FHttp->TotalCount, FHttp->Percent, FHttp->SpeedKbps, FHttp->Elapsed);
}

void TDownloader::Stop() {
    Stopped = true;
    if (FHttp) {
        try {
            FHttp->Abort();
        } catch (...) {
        }
    }
    CloseFile();
}

void TDownloader::Pause() {
    if (!FHttp) return;
    try {
        FHttp->Pause();
    } catch (const std::exception& e) {
        Trace("Pause Exception: " + SaveFileName + "|" + e.what());
    }
    CloseFile();
}

void TDownloader::Resume() {
    if (!FHttp) return;
    if (!OpenTarget("Resume: ")) return;
    FHttp->FileStream = FFile.get();
    FHttp->Resume();
}
