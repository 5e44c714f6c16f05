#pragma once
// The MD5 of a file that is being written, computed while it is written: the owner
// says how long the finished prefix of the file is, and a worker thread reads and
// hashes it behind the writers. By the time the last byte is in, only the last few
// blocks remain, so verifying a download costs no pass of its own.
//
// The worker raises no events and touches nothing but the file (positioned reads,
// safe beside the writers) and this object's state. All calls come from the one
// thread that owns the object; the destructor stops and joins the worker.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "os/FileStream.h"
#include "services/Md5.h"

class TProgressiveMd5 {
public:
    explicit TProgressiveMd5(TFileStream& file);
    ~TProgressiveMd5();
    TProgressiveMd5(const TProgressiveMd5&) = delete;
    TProgressiveMd5& operator=(const TProgressiveMd5&) = delete;

    // Bytes [0, upTo) of the file are final. Never blocks; smaller values than an
    // earlier call are ignored.
    void Available(std::int64_t upTo);
    // Blocks until [0, length) is hashed and returns its digest (32 lower-case hex
    // digits), or "" when the file could not be read.
    std::string Finish(std::int64_t length);

private:
    void Work();

    TFileStream& FFile;
    std::mutex FLock;
    std::condition_variable FWake, FProgress;
    std::int64_t FAvailable = 0;  // guarded by FLock
    std::int64_t FHashed = 0;     // guarded by FLock
    bool FStop = false, FFailed = false;
    TMd5 FMd5;  // the worker's alone until it has stopped
    std::thread FWorker;
};
