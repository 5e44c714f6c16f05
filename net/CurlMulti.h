#pragma once
// Drives libcurl's multi interface from the event loop: curl tells which sockets to
// watch and when its timer is due; the loop reports readiness back. Each transfer
// belongs to one THttpCli (its owner) until the owner cancels it.
//
// libcurl forbids removing a transfer from inside one of its callbacks, and owners
// may cancel from an event raised there. Cancelling therefore cuts the owner off at
// once (no further callbacks reach it) and, inside a callback, removes the transfer
// on the next turn of the loop. One thread: the loop's.
//
// The first CurlMulti initialises libcurl (and OpenSSL under it) for the process:
// SSLKEYLOGFILE is removed from the environment first and OpenSSL never reads a
// configuration file, so nobody who starts this program can make it log its TLS keys
// or load what a configuration names.
#include <curl/curl.h>

#include <map>
#include <memory>

#include "net/EventLoop.h"

class THttpCli;

struct CurlTransfer {
    CURL* easy = nullptr;
    THttpCli* owner = nullptr;  // null once cancelled
    curl_slist* headers = nullptr;
};

class CurlMulti {
public:
    explicit CurlMulti(EventLoop& loop);
    ~CurlMulti();
    CurlMulti(const CurlMulti&) = delete;
    CurlMulti& operator=(const CurlMulti&) = delete;

    EventLoop& Loop() const { return FLoop; }

    // Takes ownership of `transfer` (its easy handle fully set up) and starts it.
    CurlTransfer* Start(std::unique_ptr<CurlTransfer> transfer);
    // Detaches the owner and removes the transfer (now, or on the next turn of the
    // loop when called from inside a libcurl callback).
    void Cancel(CurlTransfer* transfer);
    // Whether libcurl is running one of our callbacks right now.
    bool InCallback() const { return FDepth > 0; }

private:
    static int OnSocket(CURL*, curl_socket_t s, int what, void* self, void*);
    static int OnTimer(CURLM*, long timeoutMs, void* self);
    void Act(curl_socket_t s, int flags);
    void CollectFinished();
    void Destroy(CURL* easy);

    EventLoop& FLoop;
    CURLM* FMulti;
    EventLoop::TimerId FTimer = 0;
    int FDepth = 0;
    std::map<CURL*, std::unique_ptr<CurlTransfer>> FTransfers;
    // Cut off when this object goes, so posted work never touches a dead one.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
