#include "services/ICSMulitPart.h"

#include <chrono>
#include <cmath>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"
#include "services/GzipDecode.h"
#include "services/LocalClock.h"
#include "services/RequestLanguage.h"

namespace {

constexpr const char* kFallbackBoundary = "--------0823094600263";

std::string ClosingDelimiter(const std::string& boundary) { return "\r\n--" + boundary + "--\r\n"; }

}  // namespace

TICSMulitPart::TICSMulitPart(CurlMulti& multi, const OsServices& os)
    : HttpClient(std::make_unique<THttpCli>(multi)), SslContext(std::make_shared<TTlsContext>()), FMulti(multi),
      FOs(os) {
    const auto stamp = FormatTimeStamp(os.clock.LocalTime(), "mmddyyhhnnsszzz");
    Boundary = stamp ? "--------" + *stamp : kFallbackBoundary;
    FContentType = "multipart/form-data; boundary=" + Boundary;
}

void TICSMulitPart::AddField(std::string_view name, std::string_view value) {
    std::string part;
    part.reserve(value.size() + Boundary.size() + 128);
    part += "--" + Boundary + "\r\n";
    part += "Content-Disposition: form-data; name=\"";
    part += name;
    part += "\"\r\n";
    part += "Content-Type: text/plain\r\n";
    part += "Content-Transfer-Encoding: quoted-printable\r\n";
    part += "\r\n";
    part += value;
    part += "\r\n";
    // A field added after the body was finished goes before the closing delimiter,
    // so the body stays one well-formed form.
    if (FFinished) Body.insert(Body.size() - ClosingDelimiter(Boundary).size(), part);
    else Body += part;
}

void TICSMulitPart::SetContentType(std::string_view contentType) {
    FContentType = std::string(TrimBlanks(contentType));
}

const std::string& TICSMulitPart::FinishBody() {
    if (!FFinished) {
        Body += ClosingDelimiter(Boundary);
        FFinished = true;
    }
    return Body;
}

TICSMulitPart::~TICSMulitPart() {
    if (FGuardTimer != 0) FMulti.Loop().StopTimer(FGuardTimer);
}

void TICSMulitPart::Start(const std::string& url, std::string_view body, int timeoutSeconds,
                          std::function<void(int error)> finished) {
    THttpCli& http = *HttpClient;
    http.URL = url;
    http.RequestVer = "1.1";
    http.ContentType = FContentType;
    http.AcceptLanguage = AcceptLanguageValue(FOs.locale);
    http.TimeoutSeconds = timeoutSeconds;
    http.OnBeforeHeaderSend = [this](THttpCli&, std::vector<std::string>& lines) {
        if (!AcceptEncoding.empty()) lines.push_back("accept-encoding: " + AcceptEncoding);
        if (!Authorization.empty()) lines.push_back("Authorization: " + Authorization);
        lines.push_back("APIVersion: 3");
        lines.push_back("language: " + LanguageTag(FOs.locale));
    };
    http.OnDataSent = [this](THttpCli&, std::int64_t count) {
        SentBytes += static_cast<std::int32_t>(count);
        if (OnSendProgress && TotalBytes > 0)
            OnSendProgress(*this, static_cast<int>(std::lround(SentBytes * 100.0 / TotalBytes)));
    };
    FResponse.clear();
    FTooLarge = false;
    http.OnDocData = [this](THttpCli& cli, const char* data, std::size_t n) {
        if (FResponse.size() + n > kMaxAnswerBytes) {
            FTooLarge = true;
            cli.Abort();
            return;
        }
        FResponse.append(data, n);
    };
    FOnFinished = std::move(finished);
    http.OnRequestDone = [this](THttpCli& cli, int error) {
        if (FGuardTimer != 0) {
            FMulti.Loop().StopTimer(FGuardTimer);
            FGuardTimer = 0;
        }
        if (FTimedOut) error = kHttpCurlErrorBase + CURLE_OPERATION_TIMEDOUT;
        if (FTooLarge) error = kHttpCurlErrorBase + CURLE_FILESIZE_EXCEEDED;
        SocketError = error == 0 ? 0 : static_cast<std::uint16_t>(cli.OsError() != 0 ? cli.OsError() : error);
        // The handler may start nothing on this client, but it may read this object.
        auto finishedNow = std::move(FOnFinished);
        FOnFinished = nullptr;
        if (finishedNow) finishedNow(error);
    };

    SocketError = 0;
    FTimedOut = false;
    http.PostASync(body);
    // The transport ends the exchange at the time-out itself; this guard only covers
    // a transport that never reports back.
    const auto limit = std::chrono::seconds(timeoutSeconds > 0 ? timeoutSeconds + 5 : 3600);
    FGuardTimer = FMulti.Loop().StartTimer(limit, false, [this] {
        FGuardTimer = 0;
        FTimedOut = true;
        HttpClient->Abort();
    });
}

std::string TICSMulitPart::Run(const std::string& url, std::string_view body, int timeoutSeconds) {
    bool done = false;
    int error = 0;
    Start(url, body, timeoutSeconds, [&](int e) {
        done = true;
        error = e;
    });
    // The guard timer ends the exchange; the wait's own limit is one step later still.
    const auto limit = std::chrono::seconds(timeoutSeconds > 0 ? timeoutSeconds + 10 : 3605);
    if (!FMulti.Loop().RunUntil([&] { return done; }, limit)) {
        FOnFinished = nullptr;
        HttpClient->Abort();
        error = kHttpCurlErrorBase + CURLE_OPERATION_TIMEDOUT;
        SocketError = static_cast<std::uint16_t>(error);
    }
    if (error != 0)
        throw ETransportError(FTooLarge ? "the answer is larger than any real one" : "the request failed", error);
    return std::move(FResponse);
}

int TICSMulitPart::Post(const std::string& url, const std::string* sendStream, std::string* receiveStream) {
    if (!HttpClient || !sendStream) return -1;
    TotalBytes = static_cast<std::int32_t>(sendStream->size());
    SentBytes = 0;
    HttpClient->TlsContext = url.find("https://") != std::string::npos ? SslContext : nullptr;
    std::string response = Run(url, *sendStream, kDefaultTimeoutSeconds);
    if (receiveStream) *receiveStream = std::move(response);
    return HttpClient->StatusCode();
}

int TICSMulitPart::PostGzip(const std::string& url, std::string& output, int timeoutSeconds,
                            std::function<void(TICSMulitPart&, int)> progress) {
    OnSendProgress = std::move(progress);
    if (!PrepareGzipPost()) return -1;
    std::string response = Run(url, Body, timeoutSeconds > 0 ? timeoutSeconds : kDefaultTimeoutSeconds);
    if (!DecodeAnswer(response, output)) throw EAnswerDecodeError("the gzip-encoded answer cannot be decoded");
    return HttpClient->StatusCode();
}

bool TICSMulitPart::PrepareGzipPost() {
    AcceptEncoding = "gzip";
    FinishBody();
    if (!HttpClient) return false;
    TotalBytes = static_cast<std::int32_t>(Body.size());
    SentBytes = 0;
    HttpClient->TlsContext = SslContext;
    return true;
}

bool TICSMulitPart::DecodeAnswer(std::string& response, std::string& output) const {
    if (!SameTextNoCase(HttpClient->ContentEncoding(), "gzip")) {
        output = std::move(response);
        return true;
    }
    auto decoded = GzipDecode(response, kMaxAnswerBytes);
    if (!decoded) return false;
    output = std::move(*decoded);
    return true;
}

void TICSMulitPart::PostGzipAsync(const std::string& url, int timeoutSeconds,
                                  std::function<void(TICSMulitPart&, TPostOutcome)> done) {
    if (!PrepareGzipPost()) {
        done(*this, TPostOutcome{0, {}, true});
        return;
    }
    Start(url, Body, timeoutSeconds > 0 ? timeoutSeconds : kDefaultTimeoutSeconds,
          [this, done = std::move(done)](int error) {
              TPostOutcome outcome;
              outcome.Status = HttpClient->StatusCode();
              outcome.Failed = error != 0 || !DecodeAnswer(FResponse, outcome.Answer);
              if (outcome.Failed) outcome.Answer.clear();
              done(*this, std::move(outcome));
          });
}
