#pragma once
// An asynchronous HTTP(S) GET or POST on one connection, serviced by the event loop
// through CurlMulti. The request is described by public fields, set before GetASync
// or PostASync; the answer's values are read from the events. Redirects are followed
// by the client. Only http and https are spoken, for the address and for redirects,
// and a request whose address is https follows https redirects only; any other
// address ends the request with kHttpCurlErrorBase + CURLE_UNSUPPORTED_PROTOCOL. The body of an answer is handed over as it arrives, undecoded
// (whatever its Content-Encoding).
//
// Events are raised on the loop's thread with the client first. OnHeaderEnd,
// OnDocData, OnDataSent and OnLocationChange come from inside the transfer;
// OnRequestDone comes last, exactly once per GetASync or PostASync, after the transfer has been released (so a
// handler may start the next GetASync on the same client). Abort() may be called
// at any moment, from any handler: the transfer stops at once, nothing more arrives
// but OnRequestDone with kHttpAborted, raised on a later turn of the loop.
// A client must not be destroyed from inside its own events.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/CurlMulti.h"

// Error codes of OnRequestDone: 0 for a completed exchange (whatever its HTTP
// status), kHttpAborted after Abort(), otherwise kHttpCurlErrorBase + libcurl's
// error code (connection refused, TLS failure, time-out...).
constexpr int kHttpAborted = 1;
constexpr int kHttpCurlErrorBase = 1000;

// A Content-Range value that is there but names no valid range.
constexpr std::int64_t kContentRangeInvalid = -2;
// The first byte of a "bytes FIRST-LAST/LENGTH" (or ".../*") Content-Range value;
// kContentRangeInvalid unless FIRST <= LAST < LENGTH, all whole decimal numbers that
// fit 63 bits; -1 for other units.
std::int64_t ParseContentRangeStart(std::string_view value);

// How TLS peers are verified. Certificates are always checked; by default against
// the system's store (Windows) or the system's CA bundle (elsewhere). `caFile` adds
// a CA file of its own (tests trust their own test authority this way).
struct TTlsContext {
    std::string caFile;
};

enum class TProxyAuth : std::uint8_t { None = 0, Basic = 1, Ntlm = 2 };

class THttpCli {
public:
    explicit THttpCli(CurlMulti& multi);
    virtual ~THttpCli();
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // ---- the request
    std::string URL;
    // When either is set the request carries "Range: bytes=RangeBegin-RangeEnd".
    std::string RangeBegin, RangeEnd;
    std::string RequestVer = "1.0";  // "1.0" or "1.1"
    std::string Proxy, ProxyPort, ProxyUsername, ProxyPassword;
    TProxyAuth ProxyAuth = TProxyAuth::None;
    std::string ExtraHeader;  // one raw header line, or empty
    std::string AcceptLanguage;  // the Accept-Language value, or empty for none
    std::string ContentType;     // the body's type (PostASync)
    // The whole exchange, connecting included, ends with a time-out error after this
    // many seconds; 0 for no limit.
    int TimeoutSeconds = 0;
    std::shared_ptr<TTlsContext> TlsContext;

    void GetASync();
    // Sends `body` (copied) with ContentType.
    void PostASync(std::string_view body);
    void Abort();
    bool Busy() const { return FTransfer != nullptr || FAbortPending; }

    // ---- the answer (valid from OnHeaderEnd on)
    int StatusCode() const { return FStatusCode; }
    const std::string& ReasonPhrase() const { return FReasonPhrase; }
    // The address answered last: the request's, or the final redirect target.
    const std::string& Location() const { return FLocation; }
    const std::string& AcceptRanges() const { return FAcceptRanges; }
    // The Content-Length of the final answer, -1 when it has none.
    std::int64_t ContentLength() const { return FContentLength; }
    // The first byte of a "Content-Range: bytes a-b/n" answer (see
    // ParseContentRangeStart): -1 without one, kContentRangeInvalid for one that is
    // not a valid range.
    std::int64_t ContentRangeStart() const { return FContentRangeStart; }
    // The answer's Content-Encoding as sent ("gzip", "GZIP"...), empty without one.
    const std::string& ContentEncoding() const { return FContentEncoding; }
    // After a failed exchange: the system's error number of the failing socket call
    // (connection refused...), 0 when there was none.
    int OsError() const { return FOsError; }

    // ---- events
    std::function<void(THttpCli&)> OnHeaderEnd;
    std::function<void(THttpCli&, const char* data, std::size_t length)> OnDocData;
    std::function<void(THttpCli&, int error)> OnRequestDone;
    std::function<void(THttpCli&)> OnLocationChange;
    // Just before a request goes out: the header lines it carries besides the ones
    // the transport makes itself (Host, Content-Length...), which a handler may add to.
    std::function<void(THttpCli&, std::vector<std::string>& headerLines)> OnBeforeHeaderSend;
    // Body bytes handed to the connection since the last report.
    std::function<void(THttpCli&, std::int64_t count)> OnDataSent;

private:
    friend class CurlMulti;
    void TransferDone(const CurlTransfer& transfer, CURLcode result);
    static std::size_t OnHeaderLine(char* data, std::size_t size, std::size_t count, void* transfer);
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* transfer);
    static int OnProgress(void* transfer, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded);
    void Start(const std::string_view* body);
    bool HeaderLine(std::string_view line);
    void ResetAnswer();

    CurlMulti& FMulti;
    CurlTransfer* FTransfer = nullptr;
    bool FAbortPending = false;
    bool FRedirectPending = false;
    int FStatusCode = 0;
    std::string FReasonPhrase, FLocation, FAcceptRanges, FPendingLocation, FContentEncoding;
    std::int64_t FUploaded = 0;
    int FOsError = 0;
    std::int64_t FContentLength = -1;
    std::int64_t FContentRangeStart = -1;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
