// The product API client against the API stand-in, which checks every request it
// receives (multipart layout, headers, signature, member order): the base information
// over HTTP and HTTPS in every answer form, the error kinds, the defaults, the test
// file, time-outs and refused connections, and the form posts.
#include "services/ApiClient.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "public/rdcontrol/base/DateTime.h"
#include "services/LocalClock.h"
#include "services/ParamText.h"
#include "services/RequestSigning.h"
#include "services/SystemInfo.h"
#include "services/UsageReport.h"
#include "tests/support/ApiStandIn.h"
#include "tests/unit/FakeOs.h"
#include "tests/unit/TempDir.h"

using namespace std::chrono_literals;
using nlohmann::ordered_json;

namespace {

constexpr std::int64_t kServerTime = 1718000000;  // the stand-in's default answer

class ApiClient : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new ApiStandIn(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static ApiStandIn* server;

    ApiClient() {
        os.shell.folders[Csidl::Profile] = (dir.path() / "profile").string();
        std::filesystem::create_directories(dir.path() / "program");
        os.system.programPath = (dir.path() / "program" / "Setup.exe").string();
        os.registry.viewValues[{RegistryView::Bits64, RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Cryptography",
                                "MachineGuid"}] = "6F9619FF-8B86-D011-B42D-00C04FC964FF";
        UseApiHost(server->HttpHost());
    }

    // The deployment override, as the registry gives it on a test machine.
    void UseApiHost(const std::string& host) {
        os.registry.values[{RegistryRoot::LocalMachine, kDeploymentOverrideKey, "ApiHost"}] = host;
        os.registry.values[{RegistryRoot::LocalMachine, kDeploymentOverrideKey, "StatsHost"}] = host;
        deployment = std::make_unique<TDeployment>(os.registry);
        api = std::make_unique<TApiClient>(os.services, multi, *deployment, identity);
        api->TlsContext = std::make_shared<TTlsContext>(TTlsContext{server->CaFile().string()});
    }

    void WriteTestFile(const std::string& text) {
        std::ofstream(dir.path() / "program" / kTestOverrideFile, std::ios::binary) << text;
    }

    std::int64_t GetBaseInfo(TNetworkError& kind, TRequestStatus* status = nullptr, int timeout = 0) {
        return api->GetBaseInfo(kind, "ann@example.com", status, timeout);
    }

    TempDir dir;
    FakeOs os;
    std::unique_ptr<EventLoop> loop = MakeEventLoop();
    CurlMulti multi{*loop};
    TBrowserProbe probe{os.services};
    TMachineIdentity identity{os.services, probe};
    std::unique_ptr<TDeployment> deployment;
    std::unique_ptr<TApiClient> api;
};
ApiStandIn* ApiClient::server = nullptr;

TEST_F(ApiClient, AsksOnceAndKeepsTheAnswer) {
    server->Configure("");
    TNetworkError kind = TNetworkError::network_error_success;
    TRequestStatus status;
    EXPECT_EQ(GetBaseInfo(kind, &status), kServerTime);
    EXPECT_EQ(kind, TNetworkError::network_error_bad_request) << "the kind is left as it was set";
    EXPECT_EQ(status.StatusCode, 200);
    EXPECT_EQ(status.TransportError, 0);

    const TBaseInfo& info = api->BaseInfo();
    EXPECT_EQ(info.PrevServerTime, kServerTime);
    EXPECT_EQ(info.CountryCode, "DE");
    EXPECT_EQ(info.Country, "Germany");
    EXPECT_EQ(info.City, "Berlin");
    EXPECT_EQ(info.Ip, "203.0.113.7");
    EXPECT_EQ(info.PcDumpUrl, "https://dumps.qartobrowser.example/upload");
    EXPECT_EQ(info.HeartbeatInterval, 300);
    EXPECT_EQ(info.SmartLocationNumber, 12);
    EXPECT_EQ(info.MessageListRefreshTime, 1800);
    EXPECT_EQ(info.DrawCountdown, 5);
    EXPECT_TRUE(info.WhatsAppSupported) << "\"de\" in the list matches DE";
    EXPECT_EQ(info.TickAtAnswer, os.clock.ticks);
    EXPECT_EQ(info.LocalTimeAtAnswer, EncodeDateTime(2024, 3, 5, 14, 7, 9, 42));
    EXPECT_EQ(ordered_json::parse(info.DataText)["city"], "Berlin");

    auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();
    const auto sent = ordered_json::parse(requests[0]["request_json"].get<std::string>());
    EXPECT_EQ(sent["device_id"], Md5Hex("6f9619ff-8b86-d011-b42d-00c04fc964ff"));
    EXPECT_EQ(sent["email"], "ann@example.com");
    EXPECT_EQ(sent["base_url"], server->HttpHost().substr(7));

    EXPECT_EQ(GetBaseInfo(kind), kServerTime);
    EXPECT_EQ(server->Requests().size(), 1u) << "a second call sends nothing";
    EXPECT_EQ(api->RequestStatistics().Count, 1);
}

struct AnswerForm {
    const char* name;
    const char* config;
    bool https;
};

class ApiAnswerForms : public ApiClient, public ::testing::WithParamInterface<AnswerForm> {};

TEST_P(ApiAnswerForms, GiveTheSameBaseInformation) {
    if (GetParam().https) UseApiHost(server->HttpsHost());
    server->Configure(GetParam().config);
    TNetworkError kind;
    EXPECT_EQ(GetBaseInfo(kind), kServerTime);
    EXPECT_EQ(api->BaseInfo().City, "Berlin");
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();
    EXPECT_EQ(requests[0]["scheme"], GetParam().https ? "https" : "http");
}

INSTANTIATE_TEST_SUITE_P(Forms, ApiAnswerForms,
                         ::testing::Values(AnswerForm{"plain", "", false}, AnswerForm{"scrambled", "scramble=1", false},
                                           AnswerForm{"gzip", "gzip=1", false},
                                           AnswerForm{"scrambledGzipCapitals", "scramble=1&gzip=1&encoding_name=GZIP", false},
                                           AnswerForm{"plainTls", "", true},
                                           AnswerForm{"scrambledTls", "scramble=1", true},
                                           AnswerForm{"gzipTls", "gzip=1", true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ApiClient, ErrorAnswersGiveZeroAndTheirKind) {
    struct Case {
        const char* config;
        TNetworkError kind;
    } cases[] = {
        {"answer=fail&error_type=region_restriction", TNetworkError::network_error_region_restriction},
        {"answer=fail&error_type=Max_Connect", TNetworkError::network_error_max_connect},
        {"answer=fail&error_type=mk_vip_max_connect&scramble=1", TNetworkError::network_error_mk_vip_max_connect},
        {"answer=fail&error_type=time_gap_max", TNetworkError::network_error_bad_request},
        {"answer=fail&error_type=no_such_kind", TNetworkError::network_error_unknown},
        {"answer=fail", TNetworkError::network_error_unknown},
        {"answer=fail&error_type=region_restriction&status=403", TNetworkError::network_error_region_restriction},
        // Answers that say nothing usable leave the kind as the call set it.
        {"answer=garbage", TNetworkError::network_error_bad_request},
        {"answer=empty", TNetworkError::network_error_bad_request},
        {"answer=nodata", TNetworkError::network_error_bad_request},
        {"answer=notobject", TNetworkError::network_error_bad_request},
        {"answer=garbage&status=502", TNetworkError::network_error_bad_request},
        {"answer=raw&raw=%7B%22status%22%3A%22ok%22", TNetworkError::network_error_bad_request},  // cut JSON
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        server->Configure(c.config);
        TNetworkError kind = TNetworkError::network_error_success;
        EXPECT_EQ(GetBaseInfo(kind), 0);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(api->BaseInfo().City, "") << "nothing is stored";
        EXPECT_EQ(server->Requests().size(), 1u) << "every failed call asks again";
    }
}

TEST_F(ApiClient, CountsRequestsUnderTwoMinutesAndTheLongest) {
    server->Configure("answer=garbage");
    TNetworkError kind;
    os.clock.tickStep = 700;  // each request seems to take 700 ms
    GetBaseInfo(kind);
    os.clock.tickStep = 130000;  // too long to be counted
    GetBaseInfo(kind);
    os.clock.tickStep = 300;
    GetBaseInfo(kind);
    const TRequestStatistics statistics = api->RequestStatistics();
    EXPECT_EQ(statistics.Count, 2);
    EXPECT_EQ(statistics.LongestMs, 700u);
    EXPECT_EQ(statistics.LongestApi, "base-info/info");
}

TEST_F(ApiClient, TimeGapForgetsTheServerTimeSoTheNextCallAsksAgain) {
    server->Configure("");
    TNetworkError kind;
    ASSERT_EQ(GetBaseInfo(kind), kServerTime);
    EXPECT_EQ(api->GetErrorInfo(ordered_json::parse(R"({"status":"fail","error":{"type":"TIME_GAP_MAX"}})")),
              TNetworkError::network_error_bad_request);
    EXPECT_EQ(api->BaseInfo().ServerTime, 0);
    EXPECT_EQ(api->BaseInfo().PrevServerTime, kServerTime);
    server->Configure("data=" + UrlEncodeUtf8(R"({"server_time":1718000555})"));
    EXPECT_EQ(GetBaseInfo(kind), 1718000555);
    EXPECT_EQ(server->Requests().size(), 1u);
}

TEST_F(ApiClient, TestFileRedirectsTheApiAndOverridesTheCountry) {
    // The stand-in answers at any path ending in base-info/info; the URL lacks its "/".
    WriteTestFile("[api-test]\r\nURL= " + server->HttpHost() + "/v3 \r\n[Country]\r\nlocal_country_code= BR \r\n"
                  "IP_Unknown=1\r\n");
    UseApiHost("http://127.0.0.1:9");  // nothing listens there: only the file's URL can work
    api->ReadTestFile = true;
    server->Configure("");
    TNetworkError kind;
    EXPECT_EQ(GetBaseInfo(kind), kServerTime);
    EXPECT_EQ(api->GetBaseURL(), server->HttpHost() + "/v3/");
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]["path"], "/v3/base-info/info");
    EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();  // base_url "127.0.0.1:PORT/v3"
    const TBaseInfo& info = api->BaseInfo();
    EXPECT_EQ(info.CountryCode, "BR");
    EXPECT_TRUE(info.WhatsAppSupported) << "\"br\" is in the list";
    EXPECT_EQ(info.Country, "");
    EXPECT_EQ(info.City, "");
    EXPECT_EQ(info.Ip, "203.0.113.7") << "the address is kept";
}

// Without the owner's consent (Setup.exe without the test hooks) the same file is
// never read: the deployment's API host and the country the server sees stay.
TEST_F(ApiClient, TestFileIsIgnoredUnlessAllowed) {
    WriteTestFile("[api-test]\r\nURL=http://127.0.0.1:9/planted\r\n[Country]\r\nlocal_country_code=BR\r\n");
    server->Configure("");
    TNetworkError kind;
    EXPECT_EQ(GetBaseInfo(kind), kServerTime);
    EXPECT_EQ(api->GetBaseURL(), server->HttpHost() + "/");
    EXPECT_EQ(api->BaseInfo().CountryCode, "DE");  // the stand-in's answer
}

TEST_F(ApiClient, ProductVersionComesFromTheBrowserBesideTheProgram) {
    const std::string exe = (dir.path() / "program" / "QartoBrowser.exe").string();
    os.versions.records[exe].strings[kVersionIndexFileVersion] = "3, 1, 20, 5";
    EXPECT_EQ(api->GetProductVersion("", "3.0.0.0", true), "3, 1, 20, 5");
    os.versions.records.clear();
    EXPECT_EQ(api->GetProductVersion("", "3.0.0.0", true), "3, 1, 20, 5") << "kept for the process";
    EXPECT_EQ(api->GetProductVersion("", "3.0.0.0", false), "3.0.0.0");
    const auto fields = api->BuildCommonFields();
    std::vector<std::string> names;
    for (const auto& [name, value] : fields.items()) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"device_id", "origin", "channel", "client_type", "AppVer",
                                               "api_version", "base_url"}));
    EXPECT_EQ(fields["AppVer"], "3, 1, 20, 5");
    EXPECT_EQ(fields["client_type"], 3);
}

TEST_F(ApiClient, SilentServerEndsAtTheTimeOutWhileTimersKeepFiring) {
    server->Configure("never=1");
    int ticks = 0;
    const auto timer = loop->StartTimer(50ms, true, [&] { ++ticks; });
    TNetworkError kind;
    TRequestStatus status;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(GetBaseInfo(kind, &status, 2), 0);
    const auto took = std::chrono::steady_clock::now() - started;
    loop->StopTimer(timer);
    EXPECT_GE(took, 1900ms);
    EXPECT_LT(took, 3500ms);
    EXPECT_GE(ticks, 20) << "the loop ran while the caller waited";
    EXPECT_EQ(status.StatusCode, 0);
    EXPECT_EQ(status.TransportError, kHttpCurlErrorBase + 28) << "libcurl's time-out";
    EXPECT_EQ(server->Requests().size(), 1u);
}

TEST_F(ApiClient, RefusedConnectionGivesZeroAtOnce) {
    UseApiHost("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()));
    TNetworkError kind;
    TRequestStatus status;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(GetBaseInfo(kind, &status), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    EXPECT_EQ(status.TransportError, ECONNREFUSED);
    EXPECT_EQ(kind, TNetworkError::network_error_bad_request);
}

TEST_F(ApiClient, CallFromInsideTheWaitSendsNothing) {
    server->Configure("delay=0.5");
    std::int64_t nested = -1;
    loop->StartTimer(100ms, false, [&] {
        TNetworkError kind;
        nested = GetBaseInfo(kind);
    });
    TNetworkError kind;
    EXPECT_EQ(GetBaseInfo(kind), kServerTime);
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(server->Requests().size(), 1u);
}

// The installer's start: the request goes out, the caller goes on at once, and the
// answer is stored while the loop runs for other work; the wait at the end finds it.
TEST_F(ApiClient, StartedRequestIsAnsweredOnTheLoopWithoutAWait) {
    server->Configure("delay=0.3");
    const auto started = std::chrono::steady_clock::now();
    api->StartBaseInfo("", 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 250ms) << "nothing waited for the answer";
    EXPECT_TRUE(api->BaseInfoPending());
    EXPECT_EQ(api->BaseInfo().ServerTime, 0);
    api->StartBaseInfo("", 0);  // a second start while the first is out sends nothing
    EXPECT_TRUE(loop->RunUntil([&] { return !api->BaseInfoPending(); }, 5s)) << "the loop alone completes it";
    EXPECT_EQ(api->BaseInfo().ServerTime, kServerTime);
    EXPECT_EQ(api->BaseInfo().PcDumpUrl, "https://dumps.qartobrowser.example/upload");
    EXPECT_EQ(api->WaitForBaseInfo(), kServerTime);
    api->StartBaseInfo("", 0);
    EXPECT_FALSE(api->BaseInfoPending()) << "a known answer is not asked for again";
    EXPECT_EQ(server->Requests().size(), 1u);
}

TEST_F(ApiClient, WaitEndsAtTheRequestsTimeOutWhenTheServerNeverAnswers) {
    server->Configure("never=1");
    api->StartBaseInfo("", 1);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(api->WaitForBaseInfo(), 0);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 900ms);
    EXPECT_LT(took, 3000ms);
    EXPECT_FALSE(api->BaseInfoPending());
    EXPECT_EQ(server->Requests().size(), 1u);
}

TEST_F(ApiClient, PostParamsSendsTheItemsAsOrderedJson) {
    struct Case {
        std::string params;
        const char* json;
    } cases[] = {
        {UsageReportParams("", false), R"({"app":"zyr3color","lan":"en","show":"1","dark":"1"})"},
        {UsageReportParams("pt-BR", true), R"({"app":"zyr3color","lan":"pt-BR","show":"1","light":"1"})"},
        {"city=New York&note=\"a&b\"&x=1", R"({"city":"New York","note":"a&b","x":"1"})"},
        {"name=J\xC3\xBCrgen&emoji=\xF0\x9F\x98\x80", "{\"name\":\"J\xC3\xBCrgen\",\"emoji\":\"\xF0\x9F\x98\x80\"}"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.params);
        server->Configure("params_answer=stored");
        std::string answer = "old";
        api->PostParams(server->HttpsHost() + "/multi_app_lang.php?action=insert", c.params, answer);
        EXPECT_EQ(answer, "stored");
        const auto requests = server->Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();
        EXPECT_EQ(requests[0]["request_json"], c.json);
    }
}

TEST_F(ApiClient, PostParamsAnswerIsEmptyUnlessTheStatusIs200) {
    server->Configure("status=500&params_answer=oops");
    std::string answer = "old";
    api->PostParams(server->HttpHost() + "/multi_app_lang.php?action=insert", "a=1", answer);
    EXPECT_EQ(answer, "");
    answer = "old";
    api->PostParams("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/multi_app_lang.php", "a=1", answer);
    EXPECT_EQ(answer, "");
}

TEST_F(ApiClient, UsageReportGoesToTheStatisticsServer) {
    server->Configure("");
    SendUsageReport(*api, *deployment, "de", true);
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]["path"], "/multi_app_lang.php");
    EXPECT_EQ(requests[0]["query"], "action=insert");
    EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();
    EXPECT_EQ(requests[0]["request_json"], R"({"app":"zyr3color","lan":"de","show":"1","light":"1"})");
}

// ---- the answer's data, without a server

struct DataCase {
    const char* name;
    const char* data;
    TCountrySources country;
    std::int64_t heartbeat, smart, refresh, countdown;
    const char* code;
    bool whatsapp;
};

class BaseInfoData : public ::testing::TestWithParam<DataCase> {};

TEST_P(BaseInfoData, TakesDefaultsAndTheCountryChain) {
    const DataCase& c = GetParam();
    const TBaseInfo info = BaseInfoFromData(ordered_json::parse(c.data), c.country);
    EXPECT_EQ(info.HeartbeatInterval, c.heartbeat);
    EXPECT_EQ(info.SmartLocationNumber, c.smart);
    EXPECT_EQ(info.MessageListRefreshTime, c.refresh);
    EXPECT_EQ(info.DrawCountdown, c.countdown);
    EXPECT_EQ(info.CountryCode, c.code);
    EXPECT_EQ(info.WhatsAppSupported, c.whatsapp);
}

const TCountrySources kSystemUs{"", false, "US"};

INSTANTIATE_TEST_SUITE_P(
    Data, BaseInfoData,
    ::testing::Values(
        DataCase{"empty", "{}", kSystemUs, 600, 30, 3600, -1, "US", false},
        DataCase{"smartZero", R"({"smart_location_number":0})", kSystemUs, 600, 30, 3600, -1, "US", false},
        DataCase{"smartNegative", R"({"smart_location_number":-5,"heartbeat_interval":60})", kSystemUs, 60, 30, 3600,
                 -1, "US", false},
        DataCase{"numbersAsText", R"({"heartbeat_interval":"120","draw_countdown":" 7 "})", kSystemUs, 120, 30, 3600,
                 7, "US", false},
        DataCase{"unusableNumbers", R"({"heartbeat_interval":"soon","message_list_refresh_time":null})", kSystemUs,
                 600, 30, 3600, -1, "US", false},
        DataCase{"whatsappAnyCase", R"({"country_code":"in","support_whatsapp_country_list":["BR","IN"]})", kSystemUs,
                 600, 30, 3600, -1, "in", true},
        DataCase{"whatsappNotArray", R"({"country_code":"BR","support_whatsapp_country_list":"BR"})", kSystemUs, 600,
                 30, 3600, -1, "BR", false},
        DataCase{"overrideWins", R"({"country_code":"BR"})", TCountrySources{"FR", false, "US"}, 600, 30, 3600, -1,
                 "FR", false},
        DataCase{"systemLast", R"({"country_code":""})", TCountrySources{"", false, "JP"}, 600, 30, 3600, -1, "JP",
                 false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ApiAnswerText, ScrambledTextReadsLikeThePlainOne) {
    const std::string text = R"({"status":"ok","data":{"city":"K\u00f6ln"}})";
    EXPECT_EQ(ParseApiAnswer(ScrambleText(text)), ParseApiAnswer(text));
    EXPECT_EQ((*ParseApiAnswer(ScrambleText(text)))["data"]["city"], "K\xC3\xB6ln");
    for (const char* bad : {"", "[1,2]", "{\"status\":", "not base64!", "QUJD"})
        EXPECT_EQ(ParseApiAnswer(bad), std::nullopt) << bad;
}

TEST(ParamTextSplitting, KeepsValuesWhole) {
    struct Case {
        const char* text;
        std::vector<std::pair<std::string, std::string>> items;
    } cases[] = {
        {"app=zyr3color&lan=en&show=1&light=1", {{"app", "zyr3color"}, {"lan", "en"}, {"show", "1"}, {"light", "1"}}},
        {"city=New York&x=1", {{"city", "New York"}, {"x", "1"}}},        // a space is not a separator
        {" a=1 & b=2 ", {{"a", "1"}, {"b", "2"}}},                          // blanks around items drop
        {"q=\"a&b\"&r=\"say \"\"hi\"\"\"", {{"q", "a&b"}, {"r", "say \"hi\""}}},  // quotes group
        {"\"k=v&w\"&z=", {{"k", "v&w"}, {"z", ""}}},
        {"e=a=b", {{"e", "a=b"}}},                                         // the first "=" splits
        {"novalue&=x&&ok=1", {{"ok", "1"}}},                                // not name=value items
        {"", {}},
        {"u=\"unterminated&v=1", {{"u", "unterminated&v=1"}}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<std::string, std::string>> items;
        for (const TParamItem& item : SplitParamText(c.text)) items.emplace_back(item.name, item.value);
        EXPECT_EQ(items, c.items) << c.text;
    }
    EXPECT_EQ(ParamsToJson("a=1&b=2&a=3").dump(), R"({"a":"3","b":"2"})");
}

TEST(SafeLocalClock, RepairsOnlyTheYear) {
    FakeClock clock;
    EXPECT_EQ(SafeLocalNow(clock), EncodeDateTime(2024, 3, 5, 14, 7, 9, 42));
    clock.now.year = 30000;
    EXPECT_EQ(SafeLocalNow(clock), EncodeDateTime(2021, 3, 5, 14, 7, 9, 42));
    clock.now.year = 0;
    clock.now.month = 2;
    clock.now.day = 29;
    EXPECT_EQ(SafeLocalNow(clock), 0) << "2021 has no 29 February";
    clock.now = {2024, 3, 5, 25, 0, 0, 0};
    EXPECT_EQ(SafeLocalNow(clock), 0);
    EXPECT_EQ(FormatTimeStamp({2009, 12, 31, 23, 59, 58, 7}, "mmddyyhhnnsszzz"), "123109235958007");
    EXPECT_EQ(FormatTimeStamp({2009, 12, 31, 23, 59, 58, 7}, "hhnnsszzz"), "235958007");
}

}  // namespace
