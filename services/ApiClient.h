#pragma once
// The client of the product's web API. The installer makes one call, "base-info/info",
// started while its window is being created and answered while the window is up; the
// answer (server time, the user's location as the server sees it, a few client
// settings) is kept for the rest of the process. It also posts plain forms (the usage
// report). Requests are JSON, scrambled and signed (services/RequestSigning.h), and
// sent by TICSMulitPart.
//
// StartBaseInfo returns at once; WaitForBaseInfo, GetBaseInfo and PostParams block
// their caller while pumping the event loop: windows paint and timers fire meanwhile
// (see services/ICSMulitPart.h). A call made from inside such a wait (a timer handler
// asking for the base information again) sends nothing and returns at once. Nothing
// raises; failures come back as 0 or "". One thread: the loop's.
//
// "Testupdate.ini" beside the program (read on every look-up, only when it exists)
// lets testers redirect the API ("api-test"/"URL") and pretend another country
// ("Country"/"local_country_code", "Country"/"IP_Unknown" = 1). It is read only when
// ReadTestFile is set: the elevated installer sets it from TestHooksEnabled
// (services/TestHooks.h), since beside Setup.exe is usually the user's Downloads
// folder; qtool, which runs with the rights of whoever starts it, always sets it.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "net/CurlMulti.h"
#include "net/HttpCli.h"
#include "os/OsServices.h"
#include "services/ApiAnswer.h"
#include "services/ICSMulitPart.h"
#include "services/Deployment.h"
#include "services/MachineIdentity.h"
#include "services/NetworkError.h"

// How the last request went: the HTTP status (0 without an answer) and the
// transport's error (TICSMulitPart::SocketError; 0 when the exchange completed).
struct TRequestStatus {
    std::int32_t StatusCode = 0;
    std::int32_t TransportError = 0;
};

// API requests that took less than two minutes, and the longest of them.
struct TRequestStatistics {
    int Count = 0;
    std::uint64_t LongestMs = 0;
    std::string LongestApi;
};

inline constexpr int kApiDefaultTimeoutSeconds = 10;
inline constexpr const char* kTestOverrideFile = "Testupdate.ini";

class TApiClient {
public:
    // Everything given must outlive the object.
    TApiClient(const OsServices& os, CurlMulti& multi, const TDeployment& deployment, TMachineIdentity& identity);

    // A certificate authority trusted besides the system's (tests); null for none.
    std::shared_ptr<TTlsContext> TlsContext;
    // Whether "Testupdate.ini" beside the program counts (see above); off unless the
    // owner says so, so a forgotten setting never lets a planted file in.
    bool ReadTestFile = false;

    // The API's base address, ending in "/": "api-test"/"URL" of the test file, else
    // the deployment's API host + "/". Computed on the first call, then kept.
    std::string GetBaseURL();
    // A new object with the members every request carries, in this order:
    // device_id, origin, channel, client_type, AppVer, api_version, base_url.
    nlohmann::ordered_json BuildCommonFields();
    // The server time (seconds since 1970 UTC), asking the API on the first successful
    // call only; 0 on failure. `errorKind` is network_error_bad_request unless the API
    // answered with an error of its own. `status` (may be null) receives how the
    // request went. `timeoutSeconds` 0 means 10.
    // A request already out is waited for rather than sent again.
    std::int64_t GetBaseInfo(TNetworkError& errorKind, const std::string& email, TRequestStatus* status,
                             int timeoutSeconds);
    // Sends the base-information request and returns at once; the answer is kept when
    // it comes. Nothing is sent when the server time is known or a request is out.
    void StartBaseInfo(const std::string& email, int timeoutSeconds);
    bool BaseInfoPending() const { return FBaseInfoPending; }
    // Runs the loop until the request StartBaseInfo sent has ended (its own time-out
    // bounds the wait); at once when none is out or when called from inside a wait.
    // The server time, 0 when unknown.
    std::int64_t WaitForBaseInfo();
    // The error kind of an answer that is not "ok"; "time_gap_max" also forgets the
    // server time (ResetCurServerTime).
    TNetworkError GetErrorInfo(const nlohmann::ordered_json& answer);
    // Keeps the server time as the previous one and clears it.
    void ResetCurServerTime();
    // Posts the parameter text (services/ParamText.h) as a scrambled JSON object,
    // content type "application/x-www-form-urlencoded". `answer` is the answer's text
    // when the status is 200, else "". `status` (may be null) receives how it went.
    void PostParams(const std::string& url, const std::string& params, std::string& answer,
                    TRequestStatus* status = nullptr);
    // The "FileVersion" text of `exePath` (empty: "QartoBrowser.exe" beside this
    // program), `def` when it has none; with `useCache` the first answer is kept.
    std::string GetProductVersion(const std::string& exePath, const std::string& def, bool useCache);

    // The stored base information (defaults until a call succeeds).
    const TBaseInfo& BaseInfo() const { return FInfo; }
    TRequestStatistics RequestStatistics() const;

    // "Testupdate.ini" beside the program, whether it exists or not.
    std::string TestFileName() const;

private:
    std::string ReadTestValue(const std::string& section, const std::string& key, const std::string& def) const;

    const OsServices& FOs;
    CurlMulti& FMulti;
    const TDeployment& FDeployment;
    TMachineIdentity& FIdentity;
    TBaseInfo FInfo;
    std::string FBaseUrl, FProductVersion;
    void BaseInfoAnswered(const TPostOutcome& outcome);

    // The base-information request: kept until the next one or the end, since it
    // may not be freed from inside its own completion.
    std::unique_ptr<TICSMulitPart> FBaseInfoRequest;
    bool FBaseInfoPending = false, FWaiting = false;
    std::uint64_t FBaseInfoStarted = 0;
    TNetworkError FBaseInfoError = TNetworkError::network_error_bad_request;
    TRequestStatus FBaseInfoStatus;
    // Counted with an atomic increment: transport callbacks may one day run elsewhere.
    std::atomic<int> FRequestCount{0};
    std::uint64_t FLongestMs = 0;
    std::string FLongestApi;
};
