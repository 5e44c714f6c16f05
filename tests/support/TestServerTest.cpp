// The local test server does what the engine's tests rely on: generated content and
// ranges, every fault, HTTPS against the test authority, redirects, the proxy, the
// request and byte counts, and stopping. The client here is plain libcurl, so that a
// fault of the engine can never hide a fault of the server.
#include "tests/support/TestServer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

struct FetchOptions {
    std::string range{};     // CURLOPT_RANGE: "0-99", "100-", "-10"
    bool http10 = false;     // send an HTTP/1.0 request
    bool head = false;
    bool follow = false;     // follow redirects
    std::string caFile{};    // trust this authority; empty: the system's
    std::string proxy{};     // "http://127.0.0.1:PORT"
    std::string proxyUserPwd{};
    long timeoutMs = 20000;    // for the whole request
    bool pathAsIs = false;     // keep "/../" in the address
};

struct Fetched {
    CURLcode result = CURLE_OK;
    long status = 0;
    std::map<std::string, std::string> headers;  // lower-case names
    std::string body;
    std::string effectiveUrl;
    double seconds = 0;

    std::string Header(const std::string& name) const {
        const auto found = headers.find(name);
        return found == headers.end() ? "" : found->second;
    }
};

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* fetched) {
    static_cast<Fetched*>(fetched)->body.append(data, size * count);
    return size * count;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* fetched) {
    std::string line(data, size * count);
    const auto colon = line.find(':');
    if (colon != std::string::npos) {
        std::string name = line.substr(0, colon);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n") + 1);
        static_cast<Fetched*>(fetched)->headers[name] = value;
    } else if (line.rfind("HTTP/", 0) == 0) {
        static_cast<Fetched*>(fetched)->headers.clear();  // a new answer after a redirect
    }
    return size * count;
}

void Configure(CURL* curl, const std::string& url, const FetchOptions& o, Fetched& out) {
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, o.proxy.c_str());  // "" also ignores the environment's
    if (!o.proxyUserPwd.empty()) curl_easy_setopt(curl, CURLOPT_PROXYUSERPWD, o.proxyUserPwd.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &out);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &out);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, o.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_RANGE, o.range.empty() ? nullptr : o.range.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, o.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_NOBODY, o.head ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, o.follow ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, o.pathAsIs ? 1L : 0L);
    if (!o.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, o.caFile.c_str());
}

// Runs a handle set up by Configure(..., out).
void Perform(CURL* curl, Fetched& out) {
    const auto start = std::chrono::steady_clock::now();
    out.result = curl_easy_perform(curl);
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &out.status);
    char* effective = nullptr;
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
    if (effective) out.effectiveUrl = effective;
}

// One request on a fresh handle (and so a fresh connection).
Fetched Fetch(const std::string& url, const FetchOptions& options = {}) {
    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    Fetched out;
    Configure(curl.get(), url, options, out);
    Perform(curl.get(), out);
    return out;
}

std::string Md5Hex(const std::string& data) {
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned char digest[16];
    unsigned int length = 0;
    EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr);
    EVP_DigestUpdate(ctx.get(), data.data(), data.size());
    EVP_DigestFinal_ex(ctx.get(), digest, &length);
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        static const char kHex[] = "0123456789abcdef";
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

bool CanListenOnIpv6Loopback() {
    const int fd = socket(AF_INET6, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool ok = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

// One server for the whole program, with the proxy demanding credentials.
class TestServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new TestServer({.args = {"--proxy-port", "0", "--proxy-auth", "user:secret", "--stall-max", "30"}});
        std::ofstream(server->FilesDir() / "data.bin", std::ios::binary) << TestServer::GeneratedBytes("file", 0, 10000);
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static TestServer* server;
};
TestServer* TestServerTest::server = nullptr;

// ---- generated content

TEST_F(TestServerTest, GeneratedContentIsTheDocumentedFunctionOfNameAndOffset) {
    constexpr std::uint64_t kMiB = 1 << 20;
    for (const std::uint64_t size : {std::uint64_t{0}, std::uint64_t{1}, kMiB, kMiB + 3, 3 * kMiB + 12345}) {
        SCOPED_TRACE(size);
        const std::string query = "?size=" + std::to_string(size);
        const Fetched whole = Fetch(server->HttpUrl("/gen/content" + query));
        ASSERT_EQ(whole.result, CURLE_OK);
        EXPECT_EQ(whole.body, TestServer::GeneratedBytes("content", 0, size));
        EXPECT_EQ(Md5Hex(whole.body), TestServer::GeneratedMd5("content", size));
        EXPECT_EQ(Fetch(server->HttpUrl("/_md5/content" + query)).body, TestServer::GeneratedMd5("content", size) + "\n");
    }
    // A piece across a block boundary is the same function at that offset.
    const Fetched piece = Fetch(server->HttpUrl("/gen/content?size=3000000"), {.range = "1048000-1049999"});
    EXPECT_EQ(piece.body, TestServer::GeneratedBytes("content", 1048000, 2000));
    // Blocks differ from each other and names differ from each other.
    EXPECT_NE(TestServer::GeneratedBytes("content", 0, 64), TestServer::GeneratedBytes("content", kMiB, 64));
    EXPECT_NE(TestServer::GeneratedBytes("content", 0, 64), TestServer::GeneratedBytes("contents", 0, 64));
    // Pinned, so that a change of the formula (which other tests and languages copy)
    // does not pass unnoticed: hashlib.md5 over the SHAKE-256 blocks, by hand.
    EXPECT_EQ(TestServer::GeneratedMd5("pin", 3 * kMiB + 7), "14fa3e6e21978d6baab407bc99d18ac1");
}

// ---- ranges

struct RangeCase {
    const char* name;
    const char* path;  // with the query; 10000 bytes of /gen/range or /files/data.bin
    const char* range;
    long status;
    std::uint64_t first, length;  // of the body, for 200 and 206
    const char* contentRange;     // "" when there must be none
    bool acceptRanges;
};

void PrintTo(const RangeCase& c, std::ostream* out) { *out << c.name; }

class Ranges : public TestServerTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(Ranges, AnswerWithTheRightPiece) {
    const RangeCase& c = GetParam();
    const std::string path = std::string(c.path) + "&scenario=range-" + c.name;
    const Fetched got = Fetch(server->HttpUrl(path), {.range = c.range});
    ASSERT_EQ(got.result, CURLE_OK);
    EXPECT_EQ(got.status, c.status);
    const std::string name = std::string(c.path).rfind("/files/", 0) == 0 ? "file" : "range";
    if (c.status != 416) {
        EXPECT_EQ(got.body, TestServer::GeneratedBytes(name, c.first, c.length));
    }
    EXPECT_EQ(got.Header("content-range"), c.contentRange);
    EXPECT_EQ(got.Header("accept-ranges"), c.acceptRanges ? "bytes" : "");
    const TestServerStats stats = server->Stats(std::string("range-") + c.name);
    ASSERT_EQ(stats.requests.size(), 1u);
    EXPECT_EQ(stats.requests[0].range, *c.range ? std::string("bytes=") + c.range : "");
    EXPECT_EQ(stats.requests[0].bodyBytes, static_cast<std::int64_t>(got.body.size()));
}

INSTANTIATE_TEST_SUITE_P(
    TestServer, Ranges,
    ::testing::Values(
        RangeCase{"whole", "/gen/range?size=10000", "", 200, 0, 10000, "", true},
        RangeCase{"closed", "/gen/range?size=10000", "0-99", 206, 0, 100, "bytes 0-99/10000", true},
        RangeCase{"open", "/gen/range?size=10000", "9000-", 206, 9000, 1000, "bytes 9000-9999/10000", true},
        RangeCase{"end_clamped", "/gen/range?size=10000", "9990-20000", 206, 9990, 10, "bytes 9990-9999/10000", true},
        RangeCase{"suffix", "/gen/range?size=10000", "-10", 206, 9990, 10, "bytes 9990-9999/10000", true},
        RangeCase{"past_the_end", "/gen/range?size=10000", "10000-", 416, 0, 0, "bytes */10000", true},
        RangeCase{"noranges_still_honours", "/gen/range?size=10000&noranges=1", "5-9", 206, 5, 5, "bytes 5-9/10000",
                  false},
        RangeCase{"noranges_whole", "/gen/range?size=10000&noranges=1", "", 200, 0, 10000, "", false},
        RangeCase{"ignoreranges", "/gen/range?size=10000&ignoreranges=1", "5-9", 200, 0, 10000, "", true},
        RangeCase{"file", "/files/data.bin?x=1", "100-199", 206, 100, 100, "bytes 100-199/10000", true}),
    [](const auto& test) { return std::string(test.param.name); });

// ---- faults

enum class Body { Exact, Truncated, OneByteFlipped, AtMost, Text };

struct FaultCase {
    const char* name;
    const char* query;  // added to /gen/fault?size=300000 (more than one send of the server)
    FetchOptions options;
    CURLcode result;
    long status;
    Body body;
    std::int64_t length;  // of the body received (Truncated, AtMost) and the bytes counted
    bool complete;        // as counted by the server
    bool contentLength;   // the answer carries one
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class Faults : public TestServerTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(Faults, BehaveAndAreCounted) {
    const FaultCase& c = GetParam();
    const std::string scenario = std::string("fault-") + c.name;
    const Fetched got = Fetch(server->HttpUrl("/gen/fault?size=300000&scenario=" + scenario + c.query), c.options);
    EXPECT_EQ(got.result, c.result) << curl_easy_strerror(got.result);
    EXPECT_EQ(got.status, c.status);
    EXPECT_EQ(got.headers.count("content-length") == 1, c.contentLength);
    const std::string expected = TestServer::GeneratedBytes("fault", 0, 300000);
    switch (c.body) {
        case Body::Exact: EXPECT_TRUE(got.body == expected); break;
        case Body::Truncated: EXPECT_TRUE(got.body == expected.substr(0, static_cast<std::size_t>(c.length))); break;
        case Body::AtMost:  // a reset may discard what the client had not read yet
            EXPECT_LE(got.body.size(), static_cast<std::size_t>(c.length));
            EXPECT_TRUE(expected.compare(0, got.body.size(), got.body) == 0);
            break;
        case Body::Text: EXPECT_EQ(got.body.size(), static_cast<std::size_t>(c.length)); break;
        case Body::OneByteFlipped:
            ASSERT_EQ(got.body.size(), expected.size());
            EXPECT_NE(Md5Hex(got.body), TestServer::GeneratedMd5("fault", 300000));
            for (std::size_t i = 0; i < expected.size(); ++i) {
                if (got.body[i] != expected[i]) {
                    EXPECT_EQ(i, 150000u) << "the middle byte only";
                }
            }
            break;
    }
    const TestServerStats stats = server->Stats(scenario);
    ASSERT_EQ(stats.requests.size(), 1u);
    EXPECT_EQ(stats.requests[0].status, c.status);
    EXPECT_EQ(stats.requests[0].bodyBytes, c.length);
    EXPECT_EQ(stats.requests[0].complete, c.complete);
}

const FetchOptions kHttp11;
const FetchOptions kHttp10{.http10 = true};
// Not CURLOPT_LOW_SPEED_TIME: libcurl averages the speed over several seconds, so
// after a burst it would notice a stall only seconds later.
const FetchOptions kGiveUpAfter1s{.timeoutMs = 1000};

INSTANTIATE_TEST_SUITE_P(
    TestServer, Faults,
    ::testing::Values(
        FaultCase{"none", "", kHttp11, CURLE_OK, 200, Body::Exact, 300000, true, true},
        FaultCase{"drop_after", "&drop_after=100000", kHttp11, CURLE_PARTIAL_FILE, 200, Body::Truncated, 100000, false,
                  true},
        FaultCase{"drop_rst", "&drop_after=100000&drop_rst=1", kHttp11, CURLE_RECV_ERROR, 200, Body::AtMost, 100000,
                  false, true},
        FaultCase{"drop_headers", "&drop_headers=1", kHttp11, CURLE_GOT_NOTHING, 0, Body::Truncated, 0, false, false},
        FaultCase{"stall_after", "&stall_after=100000", kGiveUpAfter1s, CURLE_OPERATION_TIMEDOUT, 200, Body::Truncated,
                  100000, false, true},
        FaultCase{"stall_at_once", "&stall_after=0", kGiveUpAfter1s, CURLE_OPERATION_TIMEDOUT, 200, Body::Truncated, 0,
                  false, true},
        FaultCase{"stall_headers", "&stall_headers=1", kGiveUpAfter1s, CURLE_OPERATION_TIMEDOUT, 0, Body::Truncated, 0,
                  false, false},
        // Without a length the end of the connection is the end of the body, so a
        // drop looks like success: only the MD5 can tell.
        FaultCase{"nolength", "&nolength=1", kHttp11, CURLE_OK, 200, Body::Exact, 300000, true, false},
        FaultCase{"nolength_dropped", "&nolength=1&drop_after=100000", kHttp11, CURLE_OK, 200, Body::Truncated, 100000,
                  false, false},
        FaultCase{"corrupt", "&corrupt=1", kHttp11, CURLE_OK, 200, Body::OneByteFlipped, 300000, true, true},
        FaultCase{"need11_to_http10", "&need11=1", kHttp10, CURLE_OK, 426, Body::Text, 18, true, true},
        FaultCase{"need11_to_http11", "&need11=1", kHttp11, CURLE_OK, 200, Body::Exact, 300000, true, true},
        FaultCase{"http10", "", kHttp10, CURLE_OK, 200, Body::Exact, 300000, true, true}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(TestServerTest, Need11AnswerNamesTheUpgrade) {
    const Fetched got = Fetch(server->HttpUrl("/gen/x?size=10&need11=1"), {.http10 = true});
    EXPECT_EQ(got.status, 426);
    EXPECT_EQ(got.Header("upgrade"), "HTTP/1.1");
}

// claim_length announces a length the body does not have (a lying server): the real
// bytes follow and the connection ends after them.
TEST_F(TestServerTest, ClaimLengthAnnouncesAnotherLength) {
    const Fetched whole = Fetch(server->HttpUrl("/gen/claim?size=1000&claim_length=5000000000"));
    EXPECT_EQ(whole.status, 200);
    EXPECT_EQ(whole.Header("content-length"), "5000000000");
    EXPECT_EQ(whole.result, CURLE_PARTIAL_FILE);
    EXPECT_TRUE(whole.body == TestServer::GeneratedBytes("claim", 0, 1000));
    const Fetched part = Fetch(server->HttpUrl("/gen/claim?size=1000&claim_length=5000000000"), {.range = "100-199"});
    EXPECT_EQ(part.status, 206);
    EXPECT_EQ(part.Header("content-range"), "bytes 100-4999999999/5000000000");
    EXPECT_EQ(part.Header("content-length"), "4999999900");
    EXPECT_TRUE(part.body == TestServer::GeneratedBytes("claim", 100, 100));
}

TEST_F(TestServerTest, RateThrottlesTheBody) {
    // 300000 bytes at 600000 bytes/s: the last tenth-second piece leaves at 0.4 s.
    const Fetched got = Fetch(server->HttpUrl("/gen/slow?size=300000&rate=600000"));
    EXPECT_EQ(got.result, CURLE_OK);
    EXPECT_EQ(got.body.size(), 300000u);
    EXPECT_GE(got.seconds, 0.35);
}

// fault_times: the first K requests of a scenario get the fault, later ones are
// served plainly; scenarios count apart; /_reset starts counting again.
TEST_F(TestServerTest, FaultTimesLimitsTheFaultToTheFirstRequestsOfItsScenario) {
    const auto fetch = [&](const std::string& scenario) {
        const Fetched got = Fetch(server->HttpUrl("/gen/ft?size=5000&drop_after=1000&fault_times=2&scenario=" + scenario));
        return got.result == CURLE_OK ? static_cast<long>(got.body.size()) : -static_cast<long>(got.body.size());
    };
    EXPECT_EQ(fetch("times"), -1000);
    EXPECT_EQ(fetch("times"), -1000);
    EXPECT_EQ(fetch("times"), 5000);
    EXPECT_EQ(fetch("times-other"), -1000);
    const TestServerStats stats = server->Stats("times");
    ASSERT_EQ(stats.requests.size(), 3u);
    EXPECT_EQ(stats.requests[0].bodyBytes, 1000);
    EXPECT_EQ(stats.requests[1].bodyBytes, 1000);
    EXPECT_EQ(stats.requests[2].bodyBytes, 5000);
    EXPECT_EQ(stats.bodyBytes, 7000);
    server->Reset();
    EXPECT_TRUE(server->Stats("times").requests.empty());
    EXPECT_EQ(fetch("times"), -1000);
}

// ---- byte accounting

TEST_F(TestServerTest, CountsEveryRequestButNotTheControlEndpoints) {
    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    const std::string url = server->HttpUrl("/gen/count?size=4000&scenario=count");
    // Two requests on one kept-alive connection, then a HEAD and an HTTP/1.0 request.
    Fetched first, second;
    Configure(curl.get(), url, {.range = "0-99"}, first);
    Perform(curl.get(), first);
    ASSERT_EQ(first.result, CURLE_OK);
    ASSERT_EQ(Fetch(server->HttpUrl("/_md5/count?size=4000&scenario=count")).status, 200);
    Configure(curl.get(), url, {.range = "100-"}, second);
    Perform(curl.get(), second);
    ASSERT_EQ(second.result, CURLE_OK);
    ASSERT_EQ(Fetch(url, {.head = true}).status, 200);
    ASSERT_EQ(Fetch(url, {.http10 = true}).status, 200);
    ASSERT_EQ(Fetch(server->HttpUrl("/nothing-here?scenario=count")).status, 404);

    const TestServerStats stats = server->Stats("count");
    ASSERT_EQ(stats.requests.size(), 5u);
    const auto& r = stats.requests;
    EXPECT_EQ(r[0].method, "GET");
    EXPECT_EQ(r[0].target, "/gen/count?size=4000&scenario=count");
    EXPECT_EQ(r[0].range, "bytes=0-99");
    EXPECT_EQ(r[0].version, "HTTP/1.1");
    EXPECT_EQ(r[0].scheme, "http");
    EXPECT_EQ(r[0].status, 206);
    EXPECT_EQ(r[0].bodyBytes, 100);
    EXPECT_TRUE(r[0].complete);
    EXPECT_EQ(r[1].range, "bytes=100-");
    EXPECT_EQ(r[1].bodyBytes, 3900);
    EXPECT_EQ(r[1].connection, r[0].connection) << "kept alive";
    EXPECT_EQ(r[2].method, "HEAD");
    EXPECT_EQ(r[2].bodyBytes, 0);
    EXPECT_NE(r[2].connection, r[1].connection);
    EXPECT_EQ(r[3].version, "HTTP/1.0");
    EXPECT_EQ(r[3].bodyBytes, 4000);
    EXPECT_EQ(r[4].status, 404);
    EXPECT_EQ(stats.bodyBytes, 100 + 3900 + 4000 + r[4].bodyBytes);
    EXPECT_EQ(stats.peakActive, 1);
}

TEST_F(TestServerTest, CountsAClientThatGivesUpAndParallelRequests) {
    // A client that stops reading after the first piece: the request is incomplete and
    // its count stays below the size.
    CurlHandle curl(curl_easy_init(), &curl_easy_cleanup);
    Fetched aborted;
    Configure(curl.get(), server->HttpUrl("/gen/abort?size=50000000&scenario=abort"), {}, aborted);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION,
                     +[](char*, std::size_t, std::size_t, void*) -> std::size_t { return 0; });
    Perform(curl.get(), aborted);
    EXPECT_EQ(aborted.result, CURLE_WRITE_ERROR);
    curl.reset();
    const TestServerStats stats = server->Stats("abort");
    ASSERT_EQ(stats.requests.size(), 1u);
    EXPECT_FALSE(stats.requests[0].complete);
    EXPECT_GT(stats.requests[0].bodyBytes, 0);
    EXPECT_LT(stats.requests[0].bodyBytes, 50000000);

    // Three throttled requests at once: the server saw three at a time.
    CURLM* multi = curl_multi_init();
    std::vector<CurlHandle> handles;
    std::vector<Fetched> results(3);
    for (int i = 0; i < 3; ++i) {
        handles.emplace_back(curl_easy_init(), &curl_easy_cleanup);
        Configure(handles.back().get(), server->HttpUrl("/gen/par?size=40000&rate=100000&scenario=parallel"), {},
                  results[static_cast<std::size_t>(i)]);
        curl_multi_add_handle(multi, handles.back().get());
    }
    int running = 1;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (running > 0 && std::chrono::steady_clock::now() < deadline) {
        curl_multi_perform(multi, &running);
        curl_multi_poll(multi, nullptr, 0, 100, nullptr);
    }
    for (auto& handle : handles) curl_multi_remove_handle(multi, handle.get());
    curl_multi_cleanup(multi);
    EXPECT_EQ(running, 0);
    const TestServerStats parallel = server->Stats("parallel");
    EXPECT_EQ(parallel.requests.size(), 3u);
    EXPECT_EQ(parallel.bodyBytes, 120000);
    EXPECT_EQ(parallel.peakActive, 3);
}

// ---- HTTPS, redirects, files

TEST_F(TestServerTest, HttpsIsVerifiedAgainstTheTestAuthority) {
    const std::string ca = server->CaFile().string();
    const std::string path = "/gen/tls?size=2000000&scenario=tls";
    const Fetched got = Fetch(server->HttpsUrl(path), {.caFile = ca});
    ASSERT_EQ(got.result, CURLE_OK) << curl_easy_strerror(got.result);
    EXPECT_EQ(Md5Hex(got.body), TestServer::GeneratedMd5("tls", 2000000));
    // The certificate names localhost too.
    const std::string byName = "https://localhost:" + std::to_string(server->HttpsPort()) + path;
    EXPECT_EQ(Fetch(byName, {.range = "0-9", .caFile = ca}).status, 206);
    // Not trusted without our authority.
    EXPECT_EQ(Fetch(server->HttpsUrl(path)).result, CURLE_PEER_FAILED_VERIFICATION);
    // Over TLS too, a body without a length ends whole with the connection, and a
    // drop is an error.
    const Fetched noLength = Fetch(server->HttpsUrl(path + "&nolength=1"), {.caFile = ca});
    EXPECT_EQ(noLength.result, CURLE_OK) << curl_easy_strerror(noLength.result);
    EXPECT_EQ(noLength.body.size(), 2000000u);
    EXPECT_NE(Fetch(server->HttpsUrl(path + "&drop_after=1000"), {.caFile = ca}).result, CURLE_OK);
    const TestServerStats stats = server->Stats("tls");
    ASSERT_EQ(stats.requests.size(), 4u);  // the one that failed verification never got that far
    EXPECT_EQ(stats.requests[0].scheme, "https");
    EXPECT_EQ(stats.requests[3].bodyBytes, 1000);
}

TEST_F(TestServerTest, RedirectsToTheTargetAndToTheHttpsListener) {
    const std::string ca = server->CaFile().string();
    const Fetched moved = Fetch(server->HttpUrl("/to-https/gen/r?size=1000&x=%2F"));
    EXPECT_EQ(moved.status, 301);
    EXPECT_EQ(moved.Header("location"), server->HttpsUrl("/gen/r?size=1000&x=%2F"));
    const Fetched followed = Fetch(server->HttpUrl("/to-https/gen/r?size=1000"), {.follow = true, .caFile = ca});
    EXPECT_EQ(followed.status, 200);
    EXPECT_EQ(followed.effectiveUrl, server->HttpsUrl("/gen/r?size=1000"));
    EXPECT_EQ(followed.body, TestServer::GeneratedBytes("r", 0, 1000));

    const std::string target = server->HttpUrl("/gen/r?size=10&a=b");
    const std::unique_ptr<char, decltype(&curl_free)> escaped(curl_easy_escape(nullptr, target.c_str(), 0), &curl_free);
    const std::string redirect = "/redirect?to=" + std::string(escaped.get());
    EXPECT_EQ(Fetch(server->HttpUrl(redirect)).Header("location"), target);
    EXPECT_EQ(Fetch(server->HttpUrl(redirect)).status, 302);
    EXPECT_EQ(Fetch(server->HttpUrl(redirect + "&status=307")).status, 307);
    EXPECT_EQ(Fetch(server->HttpUrl(redirect), {.follow = true}).body, TestServer::GeneratedBytes("r", 0, 10));
}

TEST_F(TestServerTest, FilesAreServedAsTheyAreNowAndBadAddressesAreRefused) {
    const auto file = server->FilesDir() / "changing.bin";
    std::ofstream(file, std::ios::binary) << "first";
    EXPECT_EQ(Fetch(server->HttpUrl("/files/changing.bin")).body, "first");
    std::ofstream(file, std::ios::binary) << "second, longer";
    const Fetched changed = Fetch(server->HttpUrl("/files/changing.bin"));
    EXPECT_EQ(changed.body, "second, longer");
    EXPECT_EQ(changed.Header("content-length"), "14");
    EXPECT_FALSE(changed.Header("last-modified").empty());
    EXPECT_EQ(Fetch(server->HttpUrl("/files/missing.bin")).status, 404);
    EXPECT_EQ(Fetch(server->HttpUrl("/files/../ready.env"), {.pathAsIs = true}).status, 404);
    EXPECT_EQ(Fetch(server->HttpUrl("/gen/nosize")).status, 400);
    EXPECT_EQ(Fetch(server->HttpUrl("/gen/x?size=10&drop_after=soon")).status, 400);
}

// ---- proxy

TEST_F(TestServerTest, ProxyDemandsCredentialsThenForwardsAndTunnels) {
    ASSERT_NE(server->ProxyPort(), 0);
    const std::string proxy = "http://127.0.0.1:" + std::to_string(server->ProxyPort());
    const std::string url = server->HttpUrl("/gen/proxied?size=500000&scenario=proxy");
    const Fetched refused = Fetch(url, {.proxy = proxy});
    EXPECT_EQ(refused.status, 407);
    EXPECT_EQ(refused.Header("proxy-authenticate"), "Basic realm=\"test\"");
    EXPECT_EQ(Fetch(url, {.proxy = proxy, .proxyUserPwd = "user:wrong"}).status, 407);

    const Fetched forwarded = Fetch(url, {.range = "1000-", .proxy = proxy, .proxyUserPwd = "user:secret"});
    EXPECT_EQ(forwarded.status, 206);
    EXPECT_EQ(forwarded.body, TestServer::GeneratedBytes("proxied", 1000, 499000));
    const Fetched tunnelled = Fetch(server->HttpsUrl("/gen/proxied?size=500000&scenario=proxy"),
                                    {.caFile = server->CaFile().string(), .proxy = proxy, .proxyUserPwd = "user:secret"});
    EXPECT_EQ(tunnelled.result, CURLE_OK) << curl_easy_strerror(tunnelled.result);
    EXPECT_EQ(Md5Hex(tunnelled.body), TestServer::GeneratedMd5("proxied", 500000));

    // The origin counted only what got through; the proxy noted every attempt.
    const TestServerStats stats = server->Stats("proxy");
    ASSERT_EQ(stats.requests.size(), 2u);
    EXPECT_EQ(stats.requests[0].range, "bytes=1000-");
    EXPECT_EQ(stats.requests[1].scheme, "https");
    std::vector<std::pair<std::string, int>> seen;
    for (const auto& p : stats.proxyRequests) {
        if (p.target.find("proxied") != std::string::npos || p.method == "CONNECT") seen.emplace_back(p.method, p.status);
    }
    const std::vector<std::pair<std::string, int>> expected = {{"GET", 407}, {"GET", 407}, {"GET", 206}, {"CONNECT", 200}};
    EXPECT_EQ(seen, expected);
}

// ---- flags for the whole run, and stopping

TEST(TestServerRun, FlagsApplyToEveryRequest) {
    const bool ipv6 = CanListenOnIpv6Loopback();
    std::vector<std::string> args = {"--faults", "noranges=1", "--proxy-port", "0", "--proxy-always-407"};
    if (ipv6) args.push_back("--ipv6");
    TestServer server({.args = args});
    EXPECT_EQ(Fetch(server.HttpUrl("/gen/run?size=10")).headers.count("accept-ranges"), 0u);
    EXPECT_EQ(Fetch(server.HttpUrl("/gen/run?size=10&noranges=0")).Header("accept-ranges"), "bytes");
    const std::string proxy = "http://127.0.0.1:" + std::to_string(server.ProxyPort());
    EXPECT_EQ(Fetch(server.HttpUrl("/gen/run?size=10"), {.proxy = proxy, .proxyUserPwd = "any:thing"}).status, 407);
    if (ipv6) {
        const Fetched v6 = Fetch("https://[::1]:" + std::to_string(server.HttpsPort()) + "/gen/run?size=10",
                                 {.caFile = server.CaFile().string()});
        EXPECT_EQ(v6.result, CURLE_OK) << curl_easy_strerror(v6.result);
        EXPECT_EQ(v6.body, TestServer::GeneratedBytes("run", 0, 10));
    }
}

TEST(TestServerRun, StopsPromptlyWhileAConnectionIsStalled) {
    auto server = std::make_unique<TestServer>();
    const int port = server->HttpPort();
    const pid_t pid = server->Pid();
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const timeval fiveSeconds{5, 0};  // a server that never closes fails the test, not hangs it
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &fiveSeconds, sizeof fiveSeconds);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::string request = "GET /gen/s?size=100000&stall_after=10 HTTP/1.1\r\nHost: x\r\n\r\n";
    ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
    // Read the head and the ten bytes, so that the stall has begun.
    char buffer[4096];
    std::string received;
    while (received.find("\r\n\r\n") == std::string::npos || received.size() < received.find("\r\n\r\n") + 4 + 10) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        ASSERT_GT(n, 0);
        received.append(buffer, static_cast<std::size_t>(n));
    }

    const auto start = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_NE(kill(pid, 0), 0) << "the server process is gone";
    EXPECT_LE(read(fd, buffer, sizeof buffer), 0) << "the stalled connection was closed";
    close(fd);
}
