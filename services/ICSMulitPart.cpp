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

std::string TICSMulitPart::Run(const std::string& url, std::string_view body, int timeoutSeconds) {
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
    std::string response;
    bool tooLarge = false;
    http.OnDocData = [&](THttpCli& cli, const char* data, std::size_t n) {
        if (response.size() + n > kMaxAnswerBytes) {
            tooLarge = true;
            cli.Abort();
            return;
        }
        response.append(data, n);
    };
    bool done = false;
    int error = 0;
    http.OnRequestDone = [&](THttpCli&, int e) {
        done = true;
        error = e;
    };

    SocketError = 0;
    http.PostASync(body);
    // The transport ends the exchange at the time-out itself; the loop's own limit
    // only guards against a transport that never reports back.
    const auto limit = std::chrono::seconds(timeoutSeconds > 0 ? timeoutSeconds + 5 : 3600);
    if (!FMulti.Loop().RunUntil([&] { return done; }, limit)) {
        http.OnRequestDone = nullptr;
        http.Abort();
        error = kHttpCurlErrorBase + CURLE_OPERATION_TIMEDOUT;
    }
    // Nothing may reach this call's locals once it has returned.
    http.OnDocData = nullptr;
    http.OnDataSent = nullptr;
    http.OnRequestDone = nullptr;
    if (tooLarge) error = kHttpCurlErrorBase + CURLE_FILESIZE_EXCEEDED;
    if (error != 0) {
        SocketError = static_cast<std::uint16_t>(http.OsError() != 0 ? http.OsError() : error);
        throw ETransportError(tooLarge ? "the answer is larger than any real one" : "the request failed", error);
    }
    return response;
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
    AcceptEncoding = "gzip";
    FinishBody();
    if (!HttpClient) return -1;
    TotalBytes = static_cast<std::int32_t>(Body.size());
    SentBytes = 0;
    HttpClient->TlsContext = SslContext;
    std::string response = Run(url, Body, timeoutSeconds > 0 ? timeoutSeconds : kDefaultTimeoutSeconds);
    if (SameTextNoCase(HttpClient->ContentEncoding(), "gzip")) {
        auto decoded = GzipDecode(response, kMaxAnswerBytes);
        if (!decoded) throw EAnswerDecodeError("the gzip-encoded answer cannot be decoded");
        output = std::move(*decoded);
    } else {
        output = std::move(response);
    }
    return HttpClient->StatusCode();
}
