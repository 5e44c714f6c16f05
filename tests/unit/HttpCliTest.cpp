// The HTTP client's contract with the engine: answer values, abort from inside its
// own events, exactly one completion, and no event after the client is gone.
#include "net/HttpCli.h"

#include <gtest/gtest.h>

#include "tests/support/TestServer.h"

using namespace std::chrono_literals;

namespace {

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
    std::string body;
    int done = 0, error = -1;
    cli.OnDocData = [&](THttpCli&, const char* data, std::size_t n) { body.append(data, n); };
    cli.OnRequestDone = [&](THttpCli&, int e) {
        ++done;
        error = e;
    };
    cli.GetASync();
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
