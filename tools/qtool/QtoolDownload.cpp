// qtool download: the download engine on the command line, for tests, benchmarks
// and support. Settings that only tests need come from the environment:
//   QARTO_TLS_CA_FILE    a certificate authority to trust besides the system's
//   QARTO_TIMEOUT        seconds without data before an attempt times out (30)
//   QARTO_SYSTEM_PROXY   (not Windows) the system proxy list, as Windows keeps it
//   QARTO_STOP_AT_BYTES  stop the download (as the installer's Stop does, keeping the
//                        state file) once this many bytes are in: resume tests
// SIGINT and SIGTERM stop the download the same way before qtool ends.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "Installer/Downloader/download/uDownloader.h"
#include "os/FileStream.h"
#include "tools/qtool/QtoolCommands.h"
#include "tools/qtool/QtoolOs.h"

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

#ifndef _WIN32
// Where no system settings exist, the environment stands in for them.
class EnvInternetSettings final : public InternetSettings {
public:
    ProxySetting CurrentProxy() const override {
        ProxySetting s;
        s.proxyList = Env("QARTO_SYSTEM_PROXY");
        s.useProxy = !s.proxyList.empty();
        return s;
    }
};
#endif

volatile std::sig_atomic_t gStopRequested = 0;
extern "C" void RequestStop(int) { gStopRequested = 1; }

const InternetSettings& SystemInternetSettings() {
#ifdef _WIN32
    return WindowsInternetSettings();
#else
    static EnvInternetSettings settings;
    return settings;
#endif
}

}  // namespace

int Download(const QtoolArgs& args, std::ostream& out) {
    int parts = 4;
    std::string md5, url, file;
    bool noState = false, checkMd5 = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--parts" && i + 1 < args.size()) {
            parts = std::atoi(args[++i].c_str());
            if (parts < 1 || parts > 16) throw QtoolError("--parts takes a number from 1 to 16");
        } else if (a == "--md5" && i + 1 < args.size()) {
            md5 = args[++i];
            checkMd5 = true;
        } else if (a == "--no-state") {
            noState = true;
        } else if (!a.empty() && a[0] == '-') {
            throw QtoolError("unknown option " + a);
        } else if (url.empty()) {
            url = a;
        } else if (file.empty()) {
            file = a;
        } else {
            throw QtoolError("too many arguments for download");
        }
    }
    if (url.size() < 2 || file.size() < 2) throw QtoolError("download needs a URL and a FILE");

    auto loop = MakeEventLoop();
    TDownloader downloader(*loop, SystemInternetSettings(), QtoolOs().disks);
    downloader.PartCount = parts;
    downloader.CheckMD5 = checkMd5;
    downloader.ExpectedMD5 = md5;
    downloader.SetNoSaveState(noState);
    downloader.ComputeFileDigest = true;  // for the result line
    downloader.TlsCaFile = Env("QARTO_TLS_CA_FILE");
    if (const int timeout = std::atoi(Env("QARTO_TIMEOUT").c_str()); timeout > 0) downloader.TimeOut = timeout;

    bool finished = false, success = false;
    int code = 0;
    auto lastPrint = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    downloader.OnProgress = [&](const std::string&, std::int64_t total, double percent, double speed, double) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastPrint < std::chrono::milliseconds(500)) return;
        lastPrint = now;
        char line[128];
        std::snprintf(line, sizeof line, "progress bytes=%lld percent=%.1f speed_kbps=%.0f\n",
                      static_cast<long long>(total), percent, speed);
        out << line << std::flush;
    };
    downloader.OnFinished = [&](bool ok, int errorCode, const std::string&, const std::string&) {
        finished = true;
        success = ok;
        code = errorCode;
    };
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    const long long stopAt = std::atoll(Env("QARTO_STOP_AT_BYTES").c_str());
    bool stopped = false;
    const auto watch = loop->StartTimer(std::chrono::milliseconds(5), true, [&] {
        // Once only: a stop saves the state file, which can take longer than this
        // timer's period, and a loop kept busy by it would never let qtool end.
        if (stopped) return;
        TMultipartHttpDownloader* http = downloader.Http();
        if (gStopRequested || (stopAt > 0 && http && http->TotalCount >= stopAt)) {
            downloader.Stop();
            stopped = true;
        }
    });
    downloader.Start(file, url);
    while (!finished && !stopped) loop->RunOnce(std::chrono::milliseconds(1000));
    loop->StopTimer(watch);
    if (stopped && !finished) code = -2;  // stopped before an outcome

    // How long the transfer itself took (the last attempt, to its last byte): start-up
    // and the wait for the last hash blocks are not in it.
    if (TMultipartHttpDownloader* http = downloader.Http()) {
        char line[64];
        std::snprintf(line, sizeof line, "time download_s=%.3f\n", http->Elapsed * 86400.0);
        out << line;
    }
    std::int64_t size = 0;
    std::string digest;
    if (auto stream = TFileStream::Open(file, TFileStream::Mode::OpenRead)) {
        size = stream->Size();
        // The engine hashed the file as it wrote it; only a file it did not finish is
        // read again here.
        digest = success && code == kDownloadOk ? downloader.FileDigest : std::string();
        if (digest.empty()) digest = FileMD5(*stream);
    }
    out << "result success=" << (success ? 1 : 0) << " code=" << code << " bytes=" << size << " md5=" << digest
        << '\n';
    return success ? 0 : 1;
}
