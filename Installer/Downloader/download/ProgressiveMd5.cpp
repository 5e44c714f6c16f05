#include "Installer/Downloader/download/ProgressiveMd5.h"

#include <vector>

TProgressiveMd5::TProgressiveMd5(TFileStream& file) : FFile(file), FWorker([this] { Work(); }) {}

TProgressiveMd5::~TProgressiveMd5() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FStop = true;
    }
    FWake.notify_one();
    FWorker.join();
}

void TProgressiveMd5::Available(std::int64_t upTo) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        if (upTo <= FAvailable) return;
        FAvailable = upTo;
    }
    FWake.notify_one();
}

std::string TProgressiveMd5::Finish(std::int64_t length) {
    Available(length);
    std::unique_lock<std::mutex> lock(FLock);
    FProgress.wait(lock, [&] { return FHashed >= length || FFailed; });
    if (FFailed || FHashed != length) return {};
    FStop = true;
    lock.unlock();
    FWake.notify_one();
    FWorker.join();  // the worker is done with FMd5 from here on
    FWorker = std::thread([] {});
    return FMd5.HexDigest();
}

void TProgressiveMd5::Work() {
    std::vector<char> buffer(1 << 20);
    std::unique_lock<std::mutex> lock(FLock);
    for (;;) {
        FWake.wait(lock, [&] { return FStop || FAvailable > FHashed; });
        if (FStop) return;
        const std::int64_t from = FHashed;
        const std::int64_t n = std::min<std::int64_t>(FAvailable - from, static_cast<std::int64_t>(buffer.size()));
        lock.unlock();
        const std::int64_t read = FFile.ReadAt(from, buffer.data(), static_cast<std::size_t>(n));
        if (read == n) FMd5.Update(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
        lock.lock();
        if (read != n) {
            FFailed = true;
            FProgress.notify_all();
            return;
        }
        FHashed = from + n;
        FProgress.notify_all();
    }
}
