#include "services/ApiClient.h"

#include <chrono>
#include <filesystem>

#include "os/Utf8Path.h"
#include "public/rdcontrol/base/DateTime.h"
#include "public/rdcontrol/base/NumberText.h"
#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"
#include "public/rdcontrol/ini/SafeIniFile.h"
#include "services/ICSMulitPart.h"
#include "services/LocalClock.h"
#include "services/ParamText.h"
#include "services/RequestSigning.h"
#include "services/SystemInfo.h"

using nlohmann::ordered_json;

namespace {

constexpr std::uint64_t kCountedRequestMs = 120000;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string Dump(const ordered_json& value) {
    // Text the user typed (an email) may not be valid UTF-8: replaced, never raised.
    return value.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// The base URL without its scheme and its final "/": what the server was asked as.
std::string BaseUrlField(const std::string& url) {
    if (StartsWithNoCase(url, "https://")) return url.substr(8, url.size() - 9);
    if (StartsWithNoCase(url, "http://")) return url.substr(7, url.size() - 8);
    return url;
}

}  // namespace

TApiClient::TApiClient(const OsServices& os, CurlMulti& multi, const TDeployment& deployment,
                       TMachineIdentity& identity)
    : FOs(os), FMulti(multi), FDeployment(deployment), FIdentity(identity) {}

std::string TApiClient::TestFileName() const { return FolderOf(FOs.system.ProgramPath()) + kTestOverrideFile; }

std::string TApiClient::ReadTestValue(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    if (!ReadTestFile) return def;
    const std::string file = TestFileName();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(Utf8Path(file), ec)) return def;
    TSafeIniFile ini;  // without a name: reading must not create or change anything
    ini.LoadFromFile(file);
    return ini.ReadString(section, key, def);
}

std::string TApiClient::GetBaseURL() {
    if (!FBaseUrl.empty()) return FBaseUrl;
    const std::string builtIn = FDeployment.Host(TServerRole::Api) + "/";
    std::string url(TrimBlanks(ReadTestValue("api-test", "URL", builtIn)));
    if (url.empty()) url = builtIn;
    if (url.back() != '/') url += '/';
    FBaseUrl = url;
    return FBaseUrl;
}

ordered_json TApiClient::BuildCommonFields() {
    ordered_json fields = ordered_json::object();
    fields["device_id"] = FIdentity.GetMachineId(true, 0);
    fields["origin"] = "browser";
    fields["channel"] = "browser";
    fields["client_type"] = 3;
    fields["AppVer"] = GetProductVersion("", "3.0.0.0", true);
    fields["api_version"] = "3";
    fields["base_url"] = BaseUrlField(GetBaseURL());
    return fields;
}

std::string TApiClient::GetProductVersion(const std::string& exePath, const std::string& def, bool useCache) {
    if (useCache && !FProductVersion.empty()) return FProductVersion;
    const std::string file = exePath.empty() ? FolderOf(FOs.system.ProgramPath()) + "QartoBrowser.exe" : exePath;
    std::string version = GetVersionString(FOs, file, kVersionIndexFileVersion, def);
    if (version.empty()) version = def;
    if (useCache) FProductVersion = version;
    return version;
}

std::int64_t TApiClient::GetBaseInfo(TNetworkError& errorKind, const std::string& email, TRequestStatus* status,
                                     int timeoutSeconds) {
    if (FInfo.ServerTime != 0) return FInfo.ServerTime;
    if (FWaiting) return 0;
    StartBaseInfo(email, timeoutSeconds);
    WaitForBaseInfo();
    errorKind = FBaseInfoError;
    if (status) *status = FBaseInfoStatus;
    return FInfo.ServerTime;
}

void TApiClient::StartBaseInfo(const std::string& email, int timeoutSeconds) {
    if (FInfo.ServerTime != 0 || FBaseInfoPending) return;
    FBaseInfoError = TNetworkError::network_error_bad_request;
    FBaseInfoStatus = {};

    ordered_json request = BuildCommonFields();
    request["lan"] = "en";
    request["email"] = email;
    FBaseInfoRequest = std::make_unique<TICSMulitPart>(FMulti, FOs);
    TICSMulitPart& http = *FBaseInfoRequest;
    if (TlsContext) http.SslContext = TlsContext;
    http.AddField("signed_body", BuildSignedBody(Dump(request)));
    http.AddField("sign_version", kSignVersion);

    FBaseInfoStarted = FOs.clock.TickCount64();
    FBaseInfoPending = true;
    http.PostGzipAsync(GetBaseURL() + "base-info/info",
                       timeoutSeconds > 0 ? timeoutSeconds : kApiDefaultTimeoutSeconds,
                       [this](TICSMulitPart&, TPostOutcome outcome) { BaseInfoAnswered(outcome); });
}

std::int64_t TApiClient::WaitForBaseInfo() {
    if (FBaseInfoPending && !FWaiting) {
        FWaiting = true;
        // The request ends itself at its time-out (and its guard 5 s later); this
        // limit only keeps a broken loop from holding the caller for ever.
        FMulti.Loop().RunUntil([this] { return !FBaseInfoPending; }, std::chrono::minutes(2));
        FWaiting = false;
    }
    return FInfo.ServerTime;
}

void TApiClient::BaseInfoAnswered(const TPostOutcome& outcome) {
    FBaseInfoPending = false;
    const std::uint64_t took = FOs.clock.TickCount64() - FBaseInfoStarted;
    if (took < kCountedRequestMs) {
        FRequestCount.fetch_add(1);
        if (took > FLongestMs) {
            FLongestMs = took;
            FLongestApi = "base-info/info";
        }
    }
    FBaseInfoStatus.StatusCode = outcome.Status;
    FBaseInfoStatus.TransportError = FBaseInfoRequest->SocketError;
    if (outcome.Failed) return;

    const auto parsed = ParseApiAnswer(outcome.Answer);
    if (!parsed) return;
    const auto state = parsed->find("status");
    if (state == parsed->end() || !state->is_string() || state->get_ref<const std::string&>() != "ok") {
        FBaseInfoError = GetErrorInfo(*parsed);
        return;
    }
    const auto data = parsed->find("data");
    if (data == parsed->end() || !data->is_object()) return;

    TCountrySources country;
    country.overrideCode = std::string(TrimBlanks(ReadTestValue("Country", "local_country_code", "")));
    country.ipUnknown = ParseInteger(TrimBlanks(ReadTestValue("Country", "IP_Unknown", ""))) == 1;
    const std::uint16_t language = FOs.locale.SystemDefaultLanguageId();
    country.systemCode = FOs.locale.IsoCountryName(language);
    if (country.systemCode.empty()) country.systemCode = "US";

    const TDateTime localTime = SafeLocalNow(FOs.clock);
    FInfo = BaseInfoFromData(*data, country);
    FInfo.LocalTimeAtAnswer = localTime;
    FInfo.TickAtAnswer = FOs.clock.TickCount64();
}

TNetworkError TApiClient::GetErrorInfo(const ordered_json& answer) {
    bool timeGap = false;
    const TNetworkError kind = ErrorKindOfAnswer(answer, timeGap);
    if (timeGap) ResetCurServerTime();
    return kind;
}

void TApiClient::ResetCurServerTime() {
    FInfo.PrevServerTime = FInfo.ServerTime;
    FInfo.ServerTime = 0;
}

void TApiClient::PostParams(const std::string& url, const std::string& params, std::string& answer,
                            TRequestStatus* status) {
    answer.clear();
    const std::string json = Dump(ParamsToJson(params));
    const std::string body = json.empty() ? std::string() : ScrambleText(json);
    TICSMulitPart http(FMulti, FOs);
    if (TlsContext) http.SslContext = TlsContext;
    http.SetContentType("application/x-www-form-urlencoded");
    try {
        std::string received;
        if (http.Post(url, &body, &received) == 200) answer = std::move(received);
    } catch (const ERequestError&) {
        // The report is best effort; the installation goes on.
    }
    if (status) {
        status->StatusCode = http.StatusCode();
        status->TransportError = http.SocketError;
    }
}

TRequestStatistics TApiClient::RequestStatistics() const {
    return {FRequestCount.load(), FLongestMs, FLongestApi};
}
