#include "net/HttpCli.h"

#include <charconv>
#include <optional>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"

namespace {

std::string HeaderValue(std::string_view line) {
    const size_t colon = line.find(':');
    return std::string(TrimBlanks(line.substr(colon + 1)));
}

// A whole non-negative decimal number at the start of `text`, moving past it.
std::optional<std::int64_t> TakeNumber(std::string_view& text) {
    std::int64_t value = -1;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || value < 0) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace

std::int64_t ParseContentRangeStart(std::string_view value) {
    // "bytes FIRST-LAST/LENGTH" or "bytes FIRST-LAST/*", FIRST <= LAST < LENGTH.
    if (!StartsWithNoCase(value, "bytes")) return -1;
    std::string_view r = TrimBlanks(value.substr(5));
    const auto first = TakeNumber(r);
    if (!first || r.empty() || r.front() != '-') return kContentRangeInvalid;
    r.remove_prefix(1);
    const auto last = TakeNumber(r);
    if (!last || *last < *first || r.empty() || r.front() != '/') return kContentRangeInvalid;
    r.remove_prefix(1);
    if (r == "*") return *first;
    const auto length = TakeNumber(r);
    if (!length || !r.empty() || *last >= *length) return kContentRangeInvalid;
    return *first;
}

namespace {

}  // namespace

THttpCli::THttpCli(CurlMulti& multi) : FMulti(multi) {}

THttpCli::~THttpCli() {
    *FAlive = false;
    FMulti.Cancel(FTransfer);
}

void THttpCli::ResetAnswer() {
    FStatusCode = 0;
    FReasonPhrase.clear();
    FAcceptRanges.clear();
    FContentLength = -1;
    FContentRangeStart = -1;
    FRedirectPending = false;
    FPendingLocation.clear();
    FContentEncoding.clear();
}

void THttpCli::GetASync() { Start(nullptr); }

void THttpCli::PostASync(std::string_view body) { Start(&body); }

void THttpCli::Start(const std::string_view* body) {
    if (FTransfer) FMulti.Cancel(FTransfer);
    FTransfer = nullptr;
    FAbortPending = false;
    ResetAnswer();
    FLocation = URL;
    FUploaded = 0;
    FOsError = 0;

    auto transfer = std::make_unique<CurlTransfer>();
    transfer->owner = this;
    CURL* easy = transfer->easy = curl_easy_init();
    curl_easy_setopt(easy, CURLOPT_URL, URL.c_str());
    // Only the web: a descriptor, a redirect or a state file naming file://, ftp:// or
    // smb:// would otherwise make this process read local files or shares. A request
    // that starts on https never follows a redirect back to plain http.
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, StartsWithNoCase(URL, "https://") ? "https" : "http,https");
    if (body) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body->empty() ? "" : body->data());
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    if (TimeoutSeconds > 0) curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(TimeoutSeconds) * 1000L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     RequestVer == "1.0" ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    // Big reads keep the per-event cost low on fast links.
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 256L * 1024);
    if (!RangeBegin.empty() || !RangeEnd.empty())
        curl_easy_setopt(easy, CURLOPT_RANGE, (RangeBegin + "-" + RangeEnd).c_str());

    // Only the proxy given here is used, never one from the environment.
    curl_easy_setopt(easy, CURLOPT_PROXY, Proxy.empty() ? "" : (Proxy + ":" + ProxyPort).c_str());
    if (!Proxy.empty()) {
        curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
        if (ProxyAuth != TProxyAuth::None) {
            curl_easy_setopt(easy, CURLOPT_PROXYAUTH, ProxyAuth == TProxyAuth::Ntlm ? CURLAUTH_NTLM : CURLAUTH_BASIC);
            if (!ProxyUsername.empty())
                curl_easy_setopt(easy, CURLOPT_PROXYUSERPWD, (ProxyUsername + ":" + ProxyPassword).c_str());
        }
    }
    std::vector<std::string> lines;
    if (!ExtraHeader.empty()) lines.push_back(ExtraHeader);
    if (!AcceptLanguage.empty()) lines.push_back("Accept-Language: " + AcceptLanguage);
    if (body && !ContentType.empty()) lines.push_back("Content-Type: " + ContentType);
    if (OnBeforeHeaderSend) OnBeforeHeaderSend(*this, lines);
    // A body goes out with the headers, never after a "100 Continue" round trip that
    // servers of small APIs often do not answer.
    if (body) lines.push_back("Expect:");
    for (const std::string& line : lines) transfer->headers = curl_slist_append(transfer->headers, line.c_str());
    if (transfer->headers) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer->headers);

    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
#ifdef _WIN32
    // Trust what Windows trusts: the system certificate store, and nothing else.
    // libcurl's build records the build machine's CA bundle and folder as defaults;
    // on Windows such a path (\etc\ssl\certs on the current drive) is a folder any
    // user may create, and reading it costs every connection a file parse.
    curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
    curl_easy_setopt(easy, CURLOPT_CAINFO, static_cast<const char*>(nullptr));
    curl_easy_setopt(easy, CURLOPT_CAPATH, static_cast<const char*>(nullptr));
#endif
    if (TlsContext && !TlsContext->caFile.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, TlsContext->caFile.c_str());

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &THttpCli::OnHeaderLine);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &THttpCli::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    if (body) {
        curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &THttpCli::OnProgress);
        curl_easy_setopt(easy, CURLOPT_XFERINFODATA, transfer.get());
        curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    }

    FTransfer = FMulti.Start(std::move(transfer));
}

void THttpCli::Abort() {
    if (!FTransfer) return;
    FMulti.Cancel(FTransfer);
    FTransfer = nullptr;
    FAbortPending = true;
    // The completion comes on a later turn, never from inside the caller's handler.
    std::weak_ptr<bool> alive = FAlive;
    FMulti.Loop().Post([this, alive] {
        if (!alive.lock() || !FAbortPending) return;
        FAbortPending = false;
        if (OnRequestDone) OnRequestDone(*this, kHttpAborted);
    });
}

bool THttpCli::HeaderLine(std::string_view line) {
    line = TrimBlanks(line);
    if (StartsWithNoCase(line, "HTTP/")) {
        // A new answer: after a redirect, the one from the new address.
        if (FRedirectPending) {
            char* effective = nullptr;
            curl_easy_getinfo(FTransfer->easy, CURLINFO_EFFECTIVE_URL, &effective);
            FLocation = effective ? effective : FPendingLocation;
            ResetAnswer();
            if (OnLocationChange) OnLocationChange(*this);
            if (!FTransfer) return false;  // aborted by the handler
        }
        ResetAnswer();
        const size_t sp = line.find(' ');
        if (sp != std::string_view::npos) {
            std::string_view rest = line.substr(sp + 1);
            std::from_chars(rest.data(), rest.data() + rest.size(), FStatusCode);
            const size_t sp2 = rest.find(' ');
            if (sp2 != std::string_view::npos) FReasonPhrase = std::string(TrimBlanks(rest.substr(sp2 + 1)));
        }
        return true;
    }
    if (line.empty()) {
        // End of a header block. Informational answers and redirects that will be
        // followed are not the final answer.
        if (FStatusCode >= 100 && FStatusCode < 200) return true;
        if (FStatusCode >= 300 && FStatusCode < 400 && !FPendingLocation.empty()) {
            FRedirectPending = true;
            return true;
        }
        if (OnHeaderEnd) OnHeaderEnd(*this);
        return FTransfer != nullptr;
    }
    if (StartsWithNoCase(line, "content-length:")) {
        std::int64_t length = -1;
        const std::string v = HeaderValue(line);
        auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), length);
        FContentLength = ec == std::errc() && end == v.data() + v.size() && length >= 0 ? length : -1;
    } else if (StartsWithNoCase(line, "content-range:")) {
        FContentRangeStart = ParseContentRangeStart(HeaderValue(line));
    } else if (StartsWithNoCase(line, "accept-ranges:")) {
        FAcceptRanges = HeaderValue(line);
    } else if (StartsWithNoCase(line, "location:")) {
        FPendingLocation = HeaderValue(line);
    } else if (StartsWithNoCase(line, "content-encoding:")) {
        FContentEncoding = HeaderValue(line);
    }
    return true;
}

std::size_t THttpCli::OnHeaderLine(char* data, std::size_t size, std::size_t count, void* transfer) {
    auto* t = static_cast<CurlTransfer*>(transfer);
    if (!t->owner) return 0;  // cancelled: make libcurl stop
    const std::size_t n = size * count;
    return t->owner->HeaderLine(std::string_view(data, n)) ? n : 0;
}

std::size_t THttpCli::OnBody(char* data, std::size_t size, std::size_t count, void* transfer) {
    auto* t = static_cast<CurlTransfer*>(transfer);
    if (!t->owner) return CURL_WRITEFUNC_ERROR;
    THttpCli& self = *t->owner;
    const std::size_t n = size * count;
    if (self.OnDocData) self.OnDocData(self, data, n);
    return t->owner ? n : CURL_WRITEFUNC_ERROR;
}

int THttpCli::OnProgress(void* transfer, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
    auto* t = static_cast<CurlTransfer*>(transfer);
    if (!t->owner) return 1;  // cancelled: make libcurl stop
    THttpCli& self = *t->owner;
    // libcurl reports the running total; the event reports what is new. A redirect
    // starts the count again.
    if (uploaded < self.FUploaded) self.FUploaded = 0;
    const std::int64_t fresh = uploaded - self.FUploaded;
    if (fresh <= 0) return 0;
    self.FUploaded = uploaded;
    if (self.OnDataSent) self.OnDataSent(self, fresh);
    return t->owner ? 0 : 1;
}

void THttpCli::TransferDone(const CurlTransfer& transfer, CURLcode result) {
    if (&transfer != FTransfer) return;
    FTransfer = nullptr;
    long osError = 0;
    if (result != CURLE_OK) curl_easy_getinfo(transfer.easy, CURLINFO_OS_ERRNO, &osError);
    FOsError = static_cast<int>(osError);
    if (FStatusCode == 0) {
        long code = 0;
        curl_easy_getinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &code);
        FStatusCode = static_cast<int>(code);
    }
    const int error = result == CURLE_OK ? 0 : kHttpCurlErrorBase + static_cast<int>(result);
    if (OnRequestDone) OnRequestDone(*this, error);
}
