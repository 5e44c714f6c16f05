// What the environment of whoever starts the program must not change about TLS: the
// caller's SSLKEYLOGFILE gets no keys and OPENSSL_CONF is not read. libcurl and
// OpenSSL look at both once per process, when they are first initialised, so this
// program has this one test and makes its first connection here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "net/HttpCli.h"
#include "tests/support/HttpFetch.h"
#include "tests/support/TestServer.h"
#include "tests/unit/TempDir.h"

using namespace std::chrono_literals;

namespace {

TEST(TlsEnvironment, KeyLogFileAndOpenSslConfigurationAreIgnored) {
    TestServer server;
    TempDir dir;
    const std::filesystem::path keyLog = dir.path() / "keys.log";
    // Read, this configuration would leave only a TLS 1.3 cipher suite the test server
    // does not offer: the handshake would fail.
    const std::filesystem::path config = dir.path() / "openssl.cnf";
    std::ofstream(config) << "openssl_conf = init\n[init]\nssl_conf = ssl\n[ssl]\nsystem_default = tls\n"
                             "[tls]\nCiphersuites = TLS_AES_128_CCM_8_SHA256\nCipherString = eNULL\n";
    ASSERT_EQ(setenv("SSLKEYLOGFILE", keyLog.c_str(), 1), 0);
    ASSERT_EQ(setenv("OPENSSL_CONF", config.c_str(), 1), 0);

    auto loop = MakeEventLoop();
    CurlMulti multi(*loop);
    THttpCli cli(multi);
    cli.URL = server.HttpsUrl("/gen/keys?size=1000");
    cli.TlsContext = std::make_shared<TTlsContext>(TTlsContext{server.CaFile().string()});
    THttpFetch fetch;
    fetch.Start(cli);
    auto& [body, done, error] = fetch;
    ASSERT_TRUE(loop->RunUntil([&] { return done > 0; }, 10s));
    EXPECT_EQ(error, 0) << "the configuration file was read";
    EXPECT_EQ(cli.StatusCode(), 200);
    EXPECT_EQ(body, TestServer::GeneratedBytes("keys", 0, 1000));
    EXPECT_FALSE(std::filesystem::exists(keyLog)) << "TLS keys were written where the caller asked";
    EXPECT_EQ(std::getenv("SSLKEYLOGFILE"), nullptr);
}

}  // namespace
