#pragma once
// The request object of the product API: a multipart/form-data body of text fields,
// or a body made by the caller, sent in one HTTP(S) POST with the API's own headers;
// the answer comes back gzip-decoded where the server compressed it. One object
// serves one request.
//
// Post and PostGzip block their caller, not the program: they run the event loop
// (the UI thread's message loop on Windows) until the answer is in or the time-out
// has passed, so windows keep painting and timers keep firing meanwhile. A handler
// run during that wait must not free this object. PostGzipAsync returns at once and
// reports on the loop. One thread: the loop's.
//
// TLS peers are verified as the download engine verifies them (the system's store;
// SslContext may add a certificate authority for tests).
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "net/HttpCli.h"
#include "os/OsServices.h"

// Raised by Post and PostGzip when no usable answer arrived.
class ERequestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The exchange failed: no connection, TLS refused, time-out, or an answer larger
// than any real one. `Code` is the HTTP client's error (kHttpCurlErrorBase + ...).
class ETransportError : public ERequestError {
public:
    ETransportError(const std::string& what, int code) : ERequestError(what), Code(code) {}
    int Code;
};

// The answer arrived but its gzip encoding is damaged, truncated or too large.
class EAnswerDecodeError : public ERequestError {
public:
    using ERequestError::ERequestError;
};

// How an asynchronous PostGzip went.
struct TPostOutcome {
    int Status = 0;       // the HTTP status, 0 when no answer came
    std::string Answer;   // decoded; empty when Failed
    bool Failed = false;  // no usable answer: the exchange failed (SocketError) or the gzip is damaged
};

class TICSMulitPart {
public:
    // `multi` carries the request; `os` gives the locale (request headers) and the
    // clock (boundary). Both must outlive the object.
    TICSMulitPart(CurlMulti& multi, const OsServices& os);
    ~TICSMulitPart();
    TICSMulitPart(const TICSMulitPart&) = delete;
    TICSMulitPart& operator=(const TICSMulitPart&) = delete;

    // Answers larger than this are refused (raw and decoded); real ones are a few KB.
    static constexpr std::size_t kMaxAnswerBytes = 8u << 20;
    // Seconds Post waits for its answer.
    static constexpr int kDefaultTimeoutSeconds = 10;

    std::string Body;
    // "--------" and the local time as "mmddyyhhnnsszzz", fixed at construction.
    std::string Boundary;
    std::unique_ptr<THttpCli> HttpClient;
    std::shared_ptr<TTlsContext> SslContext;
    std::int32_t TotalBytes = 0;
    std::int32_t SentBytes = 0;
    // Upload progress in percent, rounded.
    std::function<void(TICSMulitPart& sender, int percent)> OnSendProgress;
    std::string Authorization;   // sent as "Authorization: ..." when set
    std::string AcceptEncoding;  // "gzip" while PostGzip runs
    // After a failed exchange: the system's socket error when there was one, else the
    // HTTP client's error code (kHttpCurlErrorBase + libcurl's code; a time-out is
    // 1028). 0 after a completed exchange.
    std::uint16_t SocketError = 0;

    // Appends one text part; `value` goes out byte for byte (callers pass UTF-8).
    void AddField(std::string_view name, std::string_view value);
    // Replaces the POST content type (trimmed).
    void SetContentType(std::string_view contentType);
    const std::string& ContentType() const { return FContentType; }
    // The body with its closing delimiter, appended once however often this is called.
    const std::string& FinishBody();

    // POSTs `sendStream` (not Body) with the content type and stores the raw answer in
    // `receiveStream` (which may be null). Result: the HTTP status, or -1 without a
    // send stream. Raises ETransportError.
    int Post(const std::string& url, const std::string* sendStream, std::string* receiveStream);
    // POSTs Body (finished) asking for gzip, and writes the answer, decoded when its
    // Content-Encoding is gzip in any case, to `output`. `timeoutSeconds` <= 0 means
    // the default. Result: the HTTP status. Raises ETransportError and
    // EAnswerDecodeError; SocketError and StatusCode() stay readable afterwards.
    int PostGzip(const std::string& url, std::string& output, int timeoutSeconds,
                 std::function<void(TICSMulitPart&, int)> progress = nullptr);

    // PostGzip without waiting: sends Body and returns at once; `done` is called on the
    // loop's thread when the answer is in, the exchange failed or the time-out passed
    // (the transport's, with a guard timer 5 s later for a transport that never
    // reports back). The object must outlive the request and must not be destroyed
    // from inside `done`.
    void PostGzipAsync(const std::string& url, int timeoutSeconds,
                       std::function<void(TICSMulitPart&, TPostOutcome)> done);
    bool Busy() const { return HttpClient && HttpClient->Busy(); }

    // The status of the last answer, 0 when none came.
    int StatusCode() const { return HttpClient ? HttpClient->StatusCode() : 0; }

private:
    // Sends `body` and calls `finished` with the client's error (0: completed).
    void Start(const std::string& url, std::string_view body, int timeoutSeconds,
               std::function<void(int error)> finished);
    // Start, then runs the loop until it has finished; the raw answer.
    std::string Run(const std::string& url, std::string_view body, int timeoutSeconds);
    // Body finished, asking for gzip, the byte counts reset, the TLS context set;
    // false without a client.
    bool PrepareGzipPost();
    // The answer decoded where its Content-Encoding is gzip; false when that fails.
    bool DecodeAnswer(std::string& response, std::string& output) const;

    CurlMulti& FMulti;
    const OsServices& FOs;
    std::string FContentType;
    bool FFinished = false;
    std::string FResponse;
    bool FTooLarge = false, FTimedOut = false;
    std::function<void(int error)> FOnFinished;
    EventLoop::TimerId FGuardTimer = 0;
};
