#include "Installer/Downloader/download/MultipartHttpDownloader.h"

#include <algorithm>
#include <string_view>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/CheckedMath.h"
#include "public/rdcontrol/base/DateTime.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/ini/IniFile.h"
#include "public/rdcontrol/ini/IniFileNames.h"

namespace {

const char* Bool(bool b) { return b ? "True" : "False"; }

std::string Str(std::int64_t v) { return std::to_string(v); }

bool StateFileExists(const std::string& name) {
    std::error_code ec;
    return !name.empty() && std::filesystem::is_regular_file(Utf8Path(name), ec);
}

void DeleteStateFile(const std::string& name) {
    std::error_code ec;
    std::filesystem::remove(Utf8Path(name), ec);
}

// The folder of `file`, with its separator: where its drive's free space is asked.
std::string FolderOf(const std::string& file) {
    const std::size_t separator = file.find_last_of("\\/");
    return separator == std::string::npos ? std::string(".") : file.substr(0, separator + 1);
}

}  // namespace

std::vector<TPartRange> SplitIntoParts(std::int64_t length, int count) {
    std::vector<TPartRange> ranges;
    const std::int64_t partSize = length / count;
    std::int64_t offset = 0;
    for (int i = 0; i < count; ++i) {
        ranges.push_back({offset, i + 1 < count ? offset + partSize : length});
        offset += partSize + 1;
    }
    return ranges;
}

std::uint64_t TickMs() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TDateTime NowDateTime() {
    using namespace std::chrono;
    const double seconds = duration<double>(system_clock::now().time_since_epoch()).count();
    return seconds / 86400.0 + 25569.0;  // 1970-01-01 in days since 1899-12-30
}

TMultipartHttpDownloader::TMultipartHttpDownloader(EventLoop& loop)
    : FLoop(loop), FMulti(std::make_unique<CurlMulti>(loop)), FTlsContext(std::make_shared<TTlsContext>()) {}

TMultipartHttpDownloader::~TMultipartHttpDownloader() {
    *FAlive = false;
    StopTimer();
    FreeParts();
}

void TMultipartHttpDownloader::SetStateFileName(const std::string& name) {
    FStateFileName = name.empty() ? name : NormalizeIniFileName(name);
}

void TMultipartHttpDownloader::Display(const std::string& message, int code) {
    if (OnDisplay) OnDisplay(*this, message, code);
}

std::int64_t TMultipartHttpDownloader::PartBytes(const TMyHttpCli& part) const {
    return PartByteCount(part.StartOffset, part.EndOffset, ContentLength);
}

std::string TMultipartHttpDownloader::RefusalFor(std::int64_t length) const {
    const std::int64_t bound = std::min(MaxLength, kMaxDownloadBytes);
    if (length < 0 || length > bound)
        return "the resource has " + Str(length) + " bytes, more than the " + Str(bound) + " accepted";
    if (!DiskInfo || !FileStream) return {};
    const std::string folder = FolderOf(FileStream->Path());
    const std::optional<std::uint64_t> free = DiskInfo->FreeBytes(folder);
    // A drive that cannot tell its free space may still have it; the bound above holds.
    if (!free) return {};
    // What the file holds already (an earlier attempt) needs no new room.
    const std::int64_t missing = length - std::clamp<std::int64_t>(FileStream->Size(), 0, length);
    if (static_cast<std::uint64_t>(missing) > *free)
        return "the resource needs " + Str(missing) + " more bytes, " + folder + " has " + std::to_string(*free) +
               " free";
    return {};
}

void TMultipartHttpDownloader::FreeParts() {
    for (auto& part : Parts)
        if (part->RestartTimer) FLoop.StopTimer(part->RestartTimer);
    Parts.clear();
}

std::unique_ptr<TMyHttpCli> TMultipartHttpDownloader::NewPart(int index) {
    auto part = std::make_unique<TMyHttpCli>(*FMulti);
    part->Index = index;
    CopySettings(*part);
    return part;
}

void TMultipartHttpDownloader::CopySettings(TMyHttpCli& part) {
    part.URL = Url;
    part.Proxy = Proxy;
    part.ProxyPort = ProxyPort;
    part.ProxyUsername = ProxyUsername;
    part.ProxyPassword = ProxyPassword;
    part.ProxyAuth = ProxyAuth;
    part.ExtraHeader = ExtraHeader;
    part.RequestVer = RequestVer;
    part.TlsContext = FTlsContext;
}

// ---- start and probe -----------------------------------------------------------

void TMultipartHttpDownloader::Start() {
    char t1[160];
    std::snprintf(t1, sizeof t1, "Start(part:%d, abort:%s, pause=%s, conLen=%lld, timer:%s, httpLen=%d)", PartCount,
                  Bool(AbortFlag), Bool(PauseFlag), static_cast<long long>(ContentLength), Bool(FTimer != 0),
                  static_cast<int>(Parts.size()));
    Display(t1);
    BeginTime = TickMs();
    if (PartCount < 1) throw std::invalid_argument("PartCount must be positive");

    AbortFlag = PauseFlag = false;
    FRefusal.clear();
    ContentLength = TotalCount = PrevCount = ReceivedCount = 0;
    LastTick = TickMs();
    StartTime = NowDateTime();
    Elapsed = 0;
    if (OnShowStats) OnShowStats(*this);

    FTlsContext = std::make_shared<TTlsContext>(TTlsContext{TlsCaFile});
    FreeParts();
    FPartsRunning = false;
    Parts.push_back(NewPart(0));
    TMyHttpCli& probe = *Parts[0];
    probe.OnHeaderEnd = [this](THttpCli& c) { ProbeHeaderEnd(c); };
    probe.OnRequestDone = [this](THttpCli& c, int error) { ProbeDone(c, error); };
    probe.GetASync();
    StartTimer();
    Display("Start-GetASync");
}

void TMultipartHttpDownloader::ProbeHeaderEnd(THttpCli& probe) {
    StopTimer();
    if (!SameTextNoCase(probe.Location(), Url)) {
        if (StartsWithNoCase(Url, "http://") && StartsWithNoCase(probe.Location(), "https://")) {
            FTlsContext = std::make_shared<TTlsContext>(TTlsContext{TlsCaFile});
            probe.TlsContext = FTlsContext;
        }
        Url = probe.Location();
    }
    if (probe.StatusCode() == 407) {
        ProxyAuth = TProxyAuth::Basic;
        probe.ProxyAuth = TProxyAuth::Basic;
    }
    if (probe.StatusCode() != 200) return;
    if (!SameTextNoCase(TrimBlanks(probe.AcceptRanges()), "bytes")) PartCount = 1;
    if (probe.ContentLength() < 0) {
        ContentLength = PresetLength;
        PartCount = 1;
    } else {
        ContentLength = probe.ContentLength();
        if (ContentLength < 1024) PartCount = 1;
    }
    // Before anything is written: the file would grow to this length.
    FRefusal = RefusalFor(ContentLength);
    if (!FRefusal.empty()) {
        Display("Refused: " + FRefusal);
        ContentLength = 0;
    }
    if (OnShowStats) OnShowStats(*this);
    probe.Abort();
}

void TMultipartHttpDownloader::ProbeDone(THttpCli& probe, int error) {
    StopTimer();
    if (!FRefusal.empty()) {
        if (OnRequestDone) OnRequestDone(*this, kResourceRefused, "Download refused: " + FRefusal);
    } else if (ContentLength > 0) {
        Display("GetASyncRequestDone - FMsg_WM_START_MULTI");
        std::weak_ptr<bool> alive = FAlive;
        FLoop.Post([this, alive] {
            if (alive.lock() && !AbortFlag && !PauseFlag) StartMulti();
        });
    } else if (error != 0) {
        if (OnRequestDone) OnRequestDone(*this, error, "Download failed");
    } else if (probe.StatusCode() != 200) {
        if (probe.StatusCode() == 426) {
            RequestVer = "1.1";
            probe.RequestVer = "1.1";
            probe.GetASync();
            StartTimer();
        } else if (OnRequestDone) {
            OnRequestDone(*this, probe.StatusCode(), probe.ReasonPhrase());
        }
    } else if (OnRequestDone) {
        // The whole answer arrived before the probe could be stopped, and it had no
        // length to split or check: nothing was written, so this attempt failed.
        OnRequestDone(*this, -1, "Download failed: the server sent no length");
    }
}

// ---- the parts ---------------------------------------------------------------

void TMultipartHttpDownloader::SetPartHandlers(TMyHttpCli& part) {
    part.RangeBegin = Str(part.StartOffset + part.DataCount);
    part.RangeEnd = Str(part.EndOffset);
    part.OnHeaderEnd = [this](THttpCli& c) { PartHeaderEnd(static_cast<TMyHttpCli&>(c)); };
    part.OnDocData = [this](THttpCli& c, const char* data, std::size_t n) {
        PartData(static_cast<TMyHttpCli&>(c), data, n);
    };
    part.OnRequestDone = [this](THttpCli& c, int error) { PartDone(static_cast<TMyHttpCli&>(c), error); };
    part.OnLocationChange = [this](THttpCli& c) { PartLocationChange(static_cast<TMyHttpCli&>(c)); };
}

void TMultipartHttpDownloader::StartMulti() {
    std::optional<TDownloadState> saved = ReadDownloadState(FStateFileName);
    if (StateFileExists(FStateFileName) && (!saved || saved->contentLength != ContentLength)) {
        // Another resource (or another version of it), or counts out of range: nothing
        // in the file counts.
        Display("StartMulti: the state file does not describe this download; starting over");
        DeleteStateFile(FStateFileName);
        if (FileStream) FileStream->SetSize(0);
        saved.reset();
    }
    ResetHash();

    FreeParts();
    int index = 0;
    for (const TPartRange& range : SplitIntoParts(ContentLength, PartCount)) {
        auto part = NewPart(index++);
        part->StartOffset = range.start;
        part->EndOffset = range.end;
        Parts.push_back(std::move(part));
    }

    for (auto& p : Parts) {
        TMyHttpCli& part = *p;
        if (saved) {
            // The counts belong to the split they were saved with; a part laid out
            // differently then (another part count) starts over rather than leave a hole.
            const auto at = static_cast<std::size_t>(part.Index);
            const bool sameLayout = at < saved->parts.size() && saved->parts[at].startOffset == part.StartOffset &&
                                    saved->parts[at].endOffset == part.EndOffset;
            part.DataCount = sameLayout ? saved->parts[at].dataCount : 0;
            if (part.DataCount > 0)
                Display("************* Load Downloaded Pos  " + Str(part.Index) + " FStartOffset=" +
                        Str(part.StartOffset) + " FEndOffset: " + Str(part.EndOffset) + " DataCount=" +
                        Str(part.DataCount));
            part.Done = part.DataCount >= PartBytes(part);
            TotalCount += part.DataCount;
        } else {
            part.DataCount = 0;
            part.Done = false;
            Display("StartMulti---- MyHttp.FIndex: " + Str(part.Index) + " MyHttp.FStartOffset: " +
                    Str(part.StartOffset) + " MyHttp.FEndOffset: " + Str(part.EndOffset));
        }
        CopySettings(part);
        SetPartHandlers(part);
    }
    PrevCount = TotalCount;
    if (FHash) ReportCompletePrefix();

    if (AllDoneCheck(200, "Check the last time download finished")) return;
    for (auto& part : Parts)
        if (!part->Done) part->GetASync();
    BeginTime = TickMs();
    FLastSave = BeginTime;
    FPartsRunning = true;
    StartTimer();
    Display("WMStartMulti-GetASync");
}

void TMultipartHttpDownloader::PartLocationChange(TMyHttpCli& part) {
    Display("LocationChange = " + part.Location());
    Display("Index = " + Str(part.Index) + " FStartOffset:" + Str(part.StartOffset) + " FDataCount:" +
            Str(part.DataCount));
    part.RangeBegin = Str(part.StartOffset + part.DataCount);
    part.RangeEnd = Str(part.EndOffset);
}

void TMultipartHttpDownloader::PartHeaderEnd(TMyHttpCli& part) {
    if (part.StatusCode() != 206) {
        part.BodyOffset = 0;  // the whole resource, whatever was asked
    } else if (part.ContentRangeStart() == kContentRangeInvalid) {
        part.BodyOffset = -1;  // bytes of no known place: none is written
    } else {
        part.BodyOffset = part.ContentRangeStart() >= 0 ? part.ContentRangeStart() : part.StartOffset + part.DataCount;
    }
}

void TMultipartHttpDownloader::PartData(TMyHttpCli& part, const char* data, std::size_t length) {
    if (length == 0 || AbortFlag || PauseFlag) return;
    if (!FileStream) {
        Display("***************** Waring FFilestream is Null");
        return;
    }
    // An error page is not the resource: its body never reaches the file.
    if (part.StatusCode() != 200 && part.StatusCode() != 206) return;
    const auto count = static_cast<std::int64_t>(length);
    ReceivedCount = CheckedAdd(ReceivedCount, count).value_or(INT64_MAX);

    // Write only the bytes that continue this part where it stands, at their own
    // place: a server that ignores the range (200 with everything) or answers
    // another range can never put bytes where they do not belong.
    if (part.BodyOffset < 0) return;
    const std::int64_t bodyStart = part.BodyOffset;
    const std::optional<std::int64_t> bodyEnd = CheckedAdd(bodyStart, count);
    if (!bodyEnd) {
        // A range that starts near the end of what 64 bits count: no place of ours.
        Display("Part " + Str(part.Index) + ": the answer's range lies outside any file");
        part.BodyOffset = -1;
        part.Abort();
        return;
    }
    part.BodyOffset = *bodyEnd;
    const std::int64_t next = part.StartOffset + part.DataCount;
    const std::int64_t partEnd = part.StartOffset + PartBytes(part);
    const std::int64_t from = std::max(bodyStart, next), to = std::min(part.BodyOffset, partEnd);
    if (from != next || to <= from) return;
    if (!FileStream->WriteAt(from, data + (from - bodyStart), static_cast<std::size_t>(to - from))) {
        Display("TriggerBgException occured: EWriteError: cannot write " + FileStream->Path());
        part.Abort();
        return;
    }
    part.DataCount += to - from;
    TotalCount += to - from;
    if (FHash) ReportCompletePrefix();
}

void TMultipartHttpDownloader::ResetHash() {
    FHash.reset();
    if (HashContent && FileStream && ContentLength > 0) FHash = std::make_unique<TProgressiveMd5>(*FileStream);
}

void TMultipartHttpDownloader::ReportCompletePrefix() {
    // Parts lie in file order: the complete prefix runs through the complete parts
    // into the first incomplete one as far as it has come.
    std::int64_t prefix = 0;
    for (const auto& part : Parts) {
        if (part->StartOffset != prefix) break;
        const std::int64_t have = std::min(part->DataCount, PartBytes(*part));
        prefix = part->StartOffset + have;
        if (have < PartBytes(*part)) break;
    }
    FHash->Available(prefix);
}

void TMultipartHttpDownloader::DetachFile() {
    FHash.reset();  // its worker reads the file: stop it first
    FileStream = nullptr;
}

std::string TMultipartHttpDownloader::ContentMd5() {
    if (!FHash || ContentLength <= 0 || TotalCount < ContentLength) return {};
    ReportCompletePrefix();
    return FHash->Finish(ContentLength);
}

void TMultipartHttpDownloader::PartDone(TMyHttpCli& part, int error) {
    part.Done = part.DataCount >= PartBytes(part) || AbortFlag || PauseFlag ||
                (error == 0 && part.ContentLength() < 0 && PartCount == 1);
    if (AbortFlag) {
        Display("Download done index = " + Str(part.Index) + " Aborted", 503);
        AllDoneCheck(503, "Transfert aborted");
    } else if (PauseFlag) {
        Display("Download done index = " + Str(part.Index) + " Paused", 204);
        AllDoneCheck(204, "Transfert paused");
    } else if (error != 0 || (part.StatusCode() != 200 && part.StatusCode() != 206) || !part.Done) {
        // Also a clean end before the part is complete (a shorter answer than
        // asked): the rest is fetched again rather than left missing.
        if (error != 0) Display("Download done index = " + Str(part.Index) + "  ErrorCode = " + Str(error));
        else Display("Download done index = " + Str(part.Index) + "  Status = " + Str(part.StatusCode()));
        RestartPart(part);
    } else {
        Display("Download done index = " + Str(part.Index) + " OK", 200);
        AllDoneCheck(200, "OK");
    }
}

void TMultipartHttpDownloader::RestartPart(TMyHttpCli& part) {
    Display("Restarting " + Str(part.Index));
    part.Done = false;
    part.RestartPending = true;
    // About 200 ms while the loop goes on serving the other parts.
    const int index = part.Index;
    std::weak_ptr<bool> alive = FAlive;
    part.RestartTimer = FLoop.StartTimer(std::chrono::milliseconds(200), false, [this, alive, index] {
        if (!alive.lock() || index >= static_cast<int>(Parts.size())) return;
        TMyHttpCli& p = *Parts[static_cast<size_t>(index)];
        p.RestartTimer = 0;
        p.RestartPending = false;
        if (AbortFlag || PauseFlag) return;
        CopySettings(p);
        p.RangeBegin = Str(p.StartOffset + p.DataCount);
        p.RangeEnd = Str(p.EndOffset);
        p.Done = false;
        p.GetASync();
    });
}

bool TMultipartHttpDownloader::AllDoneCheck(int status, const std::string& text) {
    if (!std::all_of(Parts.begin(), Parts.end(), [](const auto& p) { return p->Done; })) return false;
    StopTimer();
    Tick();
    Display("All done");
    if (PauseFlag || status == 200) SaveStatus();
    if (OnRequestDone) OnRequestDone(*this, status, text);
    return true;
}

// ---- statistics and time-out -------------------------------------------------------

void TMultipartHttpDownloader::StartTimer() {
    StopTimer();
    std::weak_ptr<bool> alive = FAlive;
    FTimer = FLoop.StartTimer(std::chrono::milliseconds(500), false, [this, alive] {
        if (!alive.lock()) return;
        FTimer = 0;
        Tick();
    });
}

void TMultipartHttpDownloader::StopTimer() {
    if (FTimer) FLoop.StopTimer(FTimer);
    FTimer = 0;
}

void TMultipartHttpDownloader::Tick() {
    StopTimer();
    const bool allDone = !Parts.empty() && std::all_of(Parts.begin(), Parts.end(), [](const auto& p) { return p->Done; });
    const std::uint64_t tick = TickMs();
    SpeedKbps = tick == LastTick ? 0.0 : static_cast<double>(TotalCount - PrevCount) * 8.0 / static_cast<double>(tick - LastTick);
    Elapsed = NowDateTime() - StartTime;
    Percent = ContentLength > 0 ? static_cast<double>(TotalCount) * 100.0 / static_cast<double>(ContentLength) : 0.0;
    std::weak_ptr<bool> alive = FAlive;
    if (OnShowStats) OnShowStats(*this);
    if (!alive.lock()) return;
    LastTick = tick;

    if (TotalCount == PrevCount && tick - BeginTime > static_cast<std::uint64_t>(TimeOut) * 1000) {
        Display("Time out!: CurrTick: " + Str(static_cast<std::int64_t>(tick)) + " FBeginTime:" +
                Str(static_cast<std::int64_t>(BeginTime)) + "|Timer=" + Bool(FTimer != 0) + "|Abort:" +
                Bool(AbortFlag) + "|Pause:" + Bool(PauseFlag));
        if (OnTimeOut && !AbortFlag && !PauseFlag) {
            Abort();
            OnTimeOut(*this);
            if (alive.lock()) Display("FOnTimeOut(self)");
        } else if (!OnTimeOut) {
            char t20[96];
            std::snprintf(t20, sizeof t20, "FOnTimeOut is NULL|abort:%s, done:%s", Bool(AbortFlag), Bool(allDone));
            Display(t20);
        }
        return;
    }
    if (TotalCount != PrevCount) BeginTime = tick;
    PrevCount = TotalCount;

    if (!allDone) {
        if (SaveStateEverySeconds > 0 && FPartsRunning && tick - FLastSave >= static_cast<std::uint64_t>(SaveStateEverySeconds) * 1000) {
            FLastSave = tick;
            SaveStatus();
        }
        StartTimer();
    } else {
        SpeedKbps = Elapsed > 0 ? static_cast<double>(TotalCount) * 8.0 / (Elapsed * 86400000.0) : 0.0;
        if (OnShowStats) OnShowStats(*this);
        if (alive.lock()) Display("Done");
    }
}

// ---- abort, pause, resume -------------------------------------------------------

void TMultipartHttpDownloader::AbortPartsAfterStop() {
    for (auto& p : Parts) {
        TMyHttpCli& part = *p;
        if (part.Busy()) {
            part.Abort();  // its completion follows through PartDone
        } else if (part.RestartPending) {
            // Waiting to restart: it completes here as an aborted request would.
            FLoop.StopTimer(part.RestartTimer);
            part.RestartTimer = 0;
            part.RestartPending = false;
            const int index = part.Index;
            std::weak_ptr<bool> alive = FAlive;
            FLoop.Post([this, alive, index] {
                if (alive.lock() && index < static_cast<int>(Parts.size()))
                    PartDone(*Parts[static_cast<size_t>(index)], kHttpAborted);
            });
        }
    }
}

void TMultipartHttpDownloader::Abort() {
    AbortFlag = true;
    StopTimer();
    std::int64_t sum = 0;
    for (auto& part : Parts) sum += part->DataCount;
    AbortPartsAfterStop();
    if (sum != TotalCount) Display("******** Warning: FTotalCount<> ACurrPartTotalCount");
    Display("******** FTotalCount: " + Str(TotalCount) + " ACurrPartTotalCount: " + Str(sum));
    if (ContentLength > 0) {
        if (TotalCount <= ContentLength) SaveStatus();
        else
            Display("******** Warning: FTotalCount > ContentLength FTotalCount: " + Str(TotalCount) +
                    " ContentLength: " + Str(ContentLength));
    }
}

void TMultipartHttpDownloader::Pause() {
    if (FStateFileName.empty()) throw std::logic_error("TMultipartHttpDownloader.Pause: No file name specified");
    PauseFlag = true;
    StopTimer();
    AbortPartsAfterStop();
}

void TMultipartHttpDownloader::Resume() {
    if (FStateFileName.empty()) throw std::logic_error("TMultipartHttpDownloader.Resume: No file name specified");
    AbortFlag = PauseFlag = false;
    FreeParts();
    TotalCount = 0;

    // The state must describe this file exactly: parts in order, inside the resource,
    // counts inside their parts, a length within the bounds and the drive's room.
    // Anything else is not trusted: start over.
    const std::optional<TDownloadState> saved = ReadDownloadState(FStateFileName);
    const std::string refusal = saved ? RefusalFor(saved->contentLength) : std::string();
    if (!saved || !refusal.empty()) {
        Display("Resume: the state file does not describe this download; starting over " + refusal);
        FreeParts();
        DeleteStateFile(FStateFileName);
        if (FileStream) FileStream->SetSize(0);
        PartCount = std::max(PartCount, 1);
        Start();
        return;
    }
    ContentLength = saved->contentLength;
    if (!saved->url.empty()) Url = saved->url;
    PartCount = static_cast<int>(saved->parts.size());
    if (!saved->md5.empty()) ExpectedMD5 = saved->md5;
    ResetHash();
    for (int i = 0; i < PartCount; ++i) {
        const TSavedPart& from = saved->parts[static_cast<std::size_t>(i)];
        auto part = NewPart(i);
        part->StartOffset = from.startOffset;
        part->EndOffset = from.endOffset;
        part->DataCount = from.dataCount;
        part->Done = part->DataCount >= PartBytes(*part);
        Display("Resuming " + Str(i) + " Offset=" + Str(part->StartOffset) + " DataCount=" + Str(part->DataCount));
        TotalCount += part->DataCount;
        const std::string address = from.url.empty() ? Url : from.url;
        CopySettings(*part);
        part->URL = address;
        SetPartHandlers(*part);
        Parts.push_back(std::move(part));
    }

    PrevCount = TotalCount;
    LastTick = TickMs();
    StartTime = NowDateTime();
    Elapsed = 0;
    if (FHash) ReportCompletePrefix();
    for (auto& part : Parts)
        if (!part->Done) part->GetASync();
    BeginTime = TickMs();
    FLastSave = BeginTime;
    FPartsRunning = true;
    AllDoneCheck(0, "OK");
    StartTimer();
}

// ---- the state file ---------------------------------------------------------------

void TMultipartHttpDownloader::SaveStatus() {
    if (NoSaveState || FStateFileName.empty()) return;
    // The state is written to a fresh file beside the real one and renamed over it:
    // a process killed while saving leaves the previous state whole, never a file
    // with some parts' counts erased (which would fetch those parts again).
    const std::string fresh = FStateFileName + ".new";
    DeleteStateFile(fresh);
    TIniFile state(fresh);
    bool ok = true;
    ok &= state.WriteString("GLOBAL", "DownloadConfigMD5", ExpectedMD5);
    ok &= state.WriteString("GLOBAL", "Url", Url);
    ok &= state.WriteString("GLOBAL", "ContentLength", Str(ContentLength));
    ok &= state.WriteString("GLOBAL", "DownloadedSize", Str(TotalCount));
    ok &= state.WriteString("GLOBAL", "PartCount", Str(static_cast<std::int64_t>(Parts.size())));
    for (auto& p : Parts) {
        TMyHttpCli& part = *p;
        const std::string section = "PART_" + std::to_string(part.Index);
        ok &= state.WriteString(section, "StartOffset", Str(part.StartOffset));
        ok &= state.WriteString(section, "EndOffset", Str(part.EndOffset));
        if (part.DataCount > PartBytes(part)) {
            Display("Save Status Error: Index: " + Str(part.Index) + " FEndOffset: " + Str(part.EndOffset) +
                    " FStartOffSet: " + Str(part.StartOffset) + " FDataCount: " + Str(part.DataCount));
            part.DataCount = 0;
        }
        ok &= state.WriteString(section, "DataCount", Str(part.DataCount));
        ok &= state.WriteString(section, "URL", part.URL);
        part.Done = part.DataCount >= PartBytes(part);
        ok &= state.WriteBool(section, "Done", part.Done);
    }
    state.UpdateFile();
    std::error_code ec;
    if (ok) std::filesystem::rename(Utf8Path(fresh), Utf8Path(FStateFileName), ec);
    if (!ok || ec) {
        Display("SaveStatus-except:cannot write " + FStateFileName);
        DeleteStateFile(fresh);
        DeleteStateFile(FStateFileName);
    }
}
