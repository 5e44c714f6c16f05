#include "net/CurlMulti.h"

#include <openssl/ssl.h>

#include <cstdlib>
#include <vector>

#include "net/HttpCli.h"

namespace {

void RemoveEnvironmentVariable(const char* name) {
#ifdef _WIN32
    // The C runtime passes this on to the process environment, which is where
    // libcurl reads it on Windows.
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}

void GlobalInitOnce() {
    static const bool done = [] {
        // This process runs elevated for whoever started it. libcurl would write the
        // session keys of every TLS connection to the file SSLKEYLOGFILE names, so
        // the caller could read our traffic and put a file where we may write: the
        // variable goes before libcurl looks at it (in its global initialisation).
        RemoveEnvironmentVariable("SSLKEYLOGFILE");
        // OpenSSL would read its configuration file (OPENSSL_CONF, or a path fixed when
        // it was built, which on Windows is a folder any user may create) and load
        // what it names. Initialised first without one, it never reads one: libcurl's
        // own initialisation later asks for the configuration, but OpenSSL does that
        // step only once.
        OPENSSL_init_ssl(OPENSSL_INIT_NO_LOAD_CONFIG, nullptr);
        return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    }();
    (void)done;
}

}  // namespace

CurlMulti::CurlMulti(EventLoop& loop) : FLoop(loop) {
    GlobalInitOnce();
    FMulti = curl_multi_init();
    curl_multi_setopt(FMulti, CURLMOPT_SOCKETFUNCTION, &CurlMulti::OnSocket);
    curl_multi_setopt(FMulti, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(FMulti, CURLMOPT_TIMERFUNCTION, &CurlMulti::OnTimer);
    curl_multi_setopt(FMulti, CURLMOPT_TIMERDATA, this);
}

CurlMulti::~CurlMulti() {
    *FAlive = false;
    if (FTimer) FLoop.StopTimer(FTimer);
    for (auto& [easy, transfer] : FTransfers) {
        curl_multi_remove_handle(FMulti, easy);
        curl_slist_free_all(transfer->headers);
        curl_easy_cleanup(easy);
    }
    FTransfers.clear();
    curl_multi_cleanup(FMulti);
}

CurlTransfer* CurlMulti::Start(std::unique_ptr<CurlTransfer> transfer) {
    CurlTransfer* raw = transfer.get();
    curl_easy_setopt(raw->easy, CURLOPT_PRIVATE, raw);
    FTransfers[raw->easy] = std::move(transfer);
    curl_multi_add_handle(FMulti, raw->easy);
    return raw;
}

void CurlMulti::Destroy(CURL* easy) {
    auto it = FTransfers.find(easy);
    if (it == FTransfers.end()) return;
    curl_multi_remove_handle(FMulti, easy);
    curl_slist_free_all(it->second->headers);
    curl_easy_cleanup(easy);
    FTransfers.erase(it);
}

void CurlMulti::Cancel(CurlTransfer* transfer) {
    if (!transfer) return;
    transfer->owner = nullptr;
    CURL* easy = transfer->easy;
    if (!InCallback()) {
        Destroy(easy);
        return;
    }
    std::weak_ptr<bool> alive = FAlive;
    FLoop.Post([this, alive, easy] {
        if (alive.lock()) Destroy(easy);
    });
}

int CurlMulti::OnSocket(CURL*, curl_socket_t s, int what, void* self, void*) {
    auto* multi = static_cast<CurlMulti*>(self);
    const auto handle = static_cast<SocketHandle>(s);
    if (what == CURL_POLL_REMOVE) {
        multi->FLoop.UnwatchSocket(handle);
        return 0;
    }
    int events = 0;
    if (what & CURL_POLL_IN) events |= EventLoop::kReadable;
    if (what & CURL_POLL_OUT) events |= EventLoop::kWritable;
    multi->FLoop.WatchSocket(handle, events, [multi, s](int ready) {
        int flags = 0;
        if (ready & EventLoop::kReadable) flags |= CURL_CSELECT_IN;
        if (ready & EventLoop::kWritable) flags |= CURL_CSELECT_OUT;
        if (ready & EventLoop::kError) flags |= CURL_CSELECT_ERR;
        multi->Act(s, flags);
    });
    return 0;
}

int CurlMulti::OnTimer(CURLM*, long timeoutMs, void* self) {
    auto* multi = static_cast<CurlMulti*>(self);
    if (multi->FTimer) multi->FLoop.StopTimer(multi->FTimer);
    multi->FTimer = 0;
    if (timeoutMs < 0) return 0;
    multi->FTimer = multi->FLoop.StartTimer(std::chrono::milliseconds(timeoutMs), false, [multi] {
        multi->FTimer = 0;
        multi->Act(CURL_SOCKET_TIMEOUT, 0);
    });
    return 0;
}

void CurlMulti::Act(curl_socket_t s, int flags) {
    int running = 0;
    ++FDepth;
    curl_multi_socket_action(FMulti, s, flags, &running);
    --FDepth;
    CollectFinished();
}

void CurlMulti::CollectFinished() {
    // Take every finished transfer out first: owners' handlers may pump the loop,
    // which lands here again.
    std::vector<std::pair<std::unique_ptr<CurlTransfer>, CURLcode>> finished;
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(FMulti, &left)) {
        if (msg->msg != CURLMSG_DONE) continue;
        auto it = FTransfers.find(msg->easy_handle);
        if (it == FTransfers.end()) continue;
        const CURLcode result = msg->data.result;
        curl_multi_remove_handle(FMulti, msg->easy_handle);
        finished.emplace_back(std::move(it->second), result);
        FTransfers.erase(it);
    }
    // A handler may destroy other owners (they cancel, which clears `owner`) or
    // even this object; the transfers taken out are cleaned up either way.
    std::weak_ptr<bool> alive = FAlive;
    for (auto& [transfer, result] : finished) {
        if (THttpCli* owner = transfer->owner; owner && alive.lock()) owner->TransferDone(*transfer, result);
        curl_slist_free_all(transfer->headers);
        curl_easy_cleanup(transfer->easy);
    }
}
