// The HTTP client's contract with the engine: answer values, abort from inside its
// own events, exactly one completion, and no event after the client is gone.
#include "net/HttpCli.h"
#include "tests/support/HttpFetch.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>

#include "tests/support/TestServer.h"
#include "tests/unit/TempDir.h"

using namespace std::chrono_literals;

namespace {

// A query value: everything but letters and digits percent-encoded.
std::string Escape(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

class HttpCli : public ::testing::Test {
protected:
    // The proxy listener demands Basic credentials.
    static void SetUpTestSuite() { server = new TestServer({.args = {"--proxy-port", "0", "--proxy-auth", "user:secret"}}); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static TestServer* server;
    std::unique_ptr<EventLoop> loop = MakeEventLoop();
    CurlMulti multi{*loop};
};
TestServer* HttpCli::server = nullptr;

TEST_F(HttpCli, ReportsTheAnswerAndRangesOverHttps) {
    THttpCli cli(multi);
    cli.URL = server->HttpsUrl("/gen/cli?size=5000");
    cli.TlsContext = std::make_shared<TTlsContext>(TTlsContext{server->CaFile().string()});
    cli.RangeBegin = "100";
    cli.RangeEnd = "199";
    THttpFetch fetch;
    fetch.Start(cli);
    auto& [body, done, error] = fetch;
    ASSERT_TRUE(loop->RunUntil([&] { return done > 0; }, 10s));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(cli.StatusCode(), 206);
    EXPECT_EQ(cli.ContentLength(), 100);
    EXPECT_EQ(cli.ContentRangeStart(), 100);
    EXPECT_EQ(cli.AcceptRanges(), "bytes");
    EXPECT_EQ(body, TestServer::GeneratedBytes("cli", 100, 100));
}

TEST_F(HttpCli, ProxyWithBasicAuthentication) {
    struct Case {
        std::string user, password;
        int status;
    } cases[] = {{"user", "secret", 200}, {"user", "wrong", 407}, {"", "", 407}};
    for (const Case& c : cases) {
        THttpCli cli(multi);
        cli.URL = server->HttpUrl("/gen/viaproxy?size=300");
        cli.Proxy = "127.0.0.1";
        cli.ProxyPort = std::to_string(server->ProxyPort());
        cli.ProxyAuth = c.user.empty() ? TProxyAuth::None : TProxyAuth::Basic;
        cli.ProxyUsername = c.user;
        cli.ProxyPassword = c.password;
        std::string body;
        bool done = false;
        cli.OnDocData = [&](THttpCli&, const char* data, std::size_t n) { body.append(data, n); };
        cli.OnRequestDone = [&](THttpCli&, int) { done = true; };
        cli.GetASync();
        ASSERT_TRUE(loop->RunUntil([&] { return done; }, 10s));
        EXPECT_EQ(cli.StatusCode(), c.status) << c.user << ":" << c.password;
        if (c.status == 200) {
            EXPECT_EQ(body, TestServer::GeneratedBytes("viaproxy", 0, 300));
        }
    }
}

TEST_F(HttpCli, AbortFromItsOwnHeaderEventCompletesOnceLater) {
    THttpCli cli(multi);
    cli.URL = server->HttpUrl("/gen/abort?size=50000000");
    int done = 0, error = -1, data = 0;
    bool insideHandler = false;
    cli.OnHeaderEnd = [&](THttpCli& c) {
        insideHandler = true;
        c.Abort();
        insideHandler = false;
    };
    cli.OnDocData = [&](THttpCli&, const char*, std::size_t) { ++data; };
    cli.OnRequestDone = [&](THttpCli&, int e) {
        EXPECT_FALSE(insideHandler);
        ++done;
        error = e;
    };
    cli.GetASync();
    ASSERT_TRUE(loop->RunUntil([&] { return done > 0; }, 10s));
    loop->Sleep(100ms);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(error, kHttpAborted);
    EXPECT_EQ(data, 0);
    EXPECT_FALSE(cli.Busy());
}

TEST_F(HttpCli, RedirectIsFollowedAndReported) {
    THttpCli cli(multi);
    cli.URL = server->HttpUrl("/redirect?to=%2Fgen%2Fmoved%3Fsize%3D10");
    std::string changedTo;
    bool done = false;
    cli.OnLocationChange = [&](THttpCli& c) { changedTo = c.Location(); };
    cli.OnRequestDone = [&](THttpCli&, int) { done = true; };
    cli.GetASync();
    ASSERT_TRUE(loop->RunUntil([&] { return done; }, 10s));
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(changedTo, server->HttpUrl("/gen/moved?size=10"));
    EXPECT_EQ(cli.Location(), changedTo);
}

// Only http and https are spoken, for the first request and for redirects, and a
// request that starts on https is never redirected to plain http.
TEST_F(HttpCli, SpeaksHttpAndHttpsOnlyAndNeverRedirectsDownToHttp) {
    TempDir dir;
    const std::filesystem::path local = dir.path() / "secret.txt";
    std::ofstream(local) << "local file content\n";
    const std::string fileUrl = "file://" + local.string();
    const std::string downTo = server->HttpUrl("/gen/downgraded?size=10&scenario=downgraded");
    struct Case {
        std::string name, url;
        bool served;
        std::string finalLocation;  // when served
    } cases[] = {
        {"file", fileUrl, false, ""},
        {"ftp", "ftp://127.0.0.1:" + std::to_string(server->HttpPort()) + "/x", false, ""},
        {"redirect to file", server->HttpUrl("/redirect?to=" + Escape(fileUrl)), false, ""},
        {"https redirected to http", server->HttpsUrl("/redirect?to=" + Escape(downTo)), false, ""},
        {"http redirected to https", server->HttpUrl("/to-https/gen/upgraded?size=10"), true,
         server->HttpsUrl("/gen/upgraded?size=10")},
        {"http redirected to http", server->HttpUrl("/redirect?to=%2Fgen%2Fplain%3Fsize%3D10"), true,
         server->HttpUrl("/gen/plain?size=10")},
    };
    for (const Case& c : cases) {
        THttpCli cli(multi);
        cli.URL = c.url;
        cli.TlsContext = std::make_shared<TTlsContext>(TTlsContext{server->CaFile().string()});
        cli.TimeoutSeconds = 5;  // ftp:// to the web port would wait for a greeting
        THttpFetch fetch;
        fetch.Start(cli);
        auto& [body, done, error] = fetch;
        ASSERT_TRUE(loop->RunUntil([&] { return done > 0; }, 10s)) << c.name;
        if (c.served) {
            EXPECT_EQ(error, 0) << c.name;
            EXPECT_EQ(cli.StatusCode(), 200) << c.name;
            EXPECT_EQ(cli.Location(), c.finalLocation) << c.name;
            EXPECT_EQ(body.size(), 10u) << c.name;
        } else {
            EXPECT_EQ(error, kHttpCurlErrorBase + CURLE_UNSUPPORTED_PROTOCOL) << c.name;
            EXPECT_EQ(body.find("local file content"), std::string::npos) << c.name;
            EXPECT_NE(cli.StatusCode(), 200) << c.name;
        }
    }
    EXPECT_TRUE(server->Stats("downgraded").requests.empty()) << "the http address was never asked";
}

TEST_F(HttpCli, NothingArrivesAfterTheClientIsDestroyed) {
    int events = 0;
    {
        THttpCli cli(multi);
        cli.URL = server->HttpUrl("/gen/gone?size=10000000");
        cli.OnDocData = [&](THttpCli& c, const char*, std::size_t) {
            ++events;
            c.Abort();  // completion posted...
        };
        cli.OnRequestDone = [&](THttpCli&, int) { ++events; };
        cli.GetASync();
        loop->RunUntil([&] { return events > 0; }, 10s);
    }  // ...and the client gone before it runs
    const int seen = events;
    loop->Sleep(200ms);
    EXPECT_EQ(events, seen);
}

}  // namespace
