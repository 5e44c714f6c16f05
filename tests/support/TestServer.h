#pragma once
// The project's local test server (tools/testserver/qarto_test_server.py) run by a
// GoogleTest program: HTTP and HTTPS on loopback with faults chosen per request in the
// query (see tools/testserver/README.md), plus its request and byte counts. The same
// helper runs the product API stand-in (tools/apiserver/qarto_api_server.py), which
// takes the same start-up flags; Stats() and Reset() are the test server's only.
//
// The constructor blocks until the server listens (at most 10 s) and throws
// std::runtime_error, with the server's output, when it does not. The destructor stops
// it (SIGTERM, then SIGKILL after 5 s) and removes its folder. Every call blocks; one
// thread. Host only (POSIX).
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// One request as the server counted it.
struct TestServerRequest {
    std::string method;   // "GET", "HEAD"
    std::string target;   // path and query as sent
    std::string range;    // the Range header, empty without one
    std::string version;  // "HTTP/1.0" or "HTTP/1.1"
    std::string scheme;   // "http" or "https"
    int status = 0;       // 0: no answer was sent (stall_headers, drop_headers)
    std::int64_t bodyBytes = 0;
    bool complete = false;  // the answer was sent whole (false after a fault or a client abort)
    int connection = 0;     // the same number for requests on one kept-alive connection
};

// A request the proxy listener received (the forwarded request itself is counted
// by the origin listener as usual).
struct TestServerProxyRequest {
    std::string method;         // "GET", "CONNECT"...
    std::string target;         // absolute address or host:port
    int status = 0;             // what the proxy answered (or the origin's status, relayed)
    std::string authorization;  // the Proxy-Authorization header, empty without one
};

struct TestServerStats {
    std::vector<TestServerRequest> requests;
    std::int64_t bodyBytes = 0;  // sum over `requests`
    int peakActive = 0;          // most requests of the scenario being answered at once
    std::vector<TestServerProxyRequest> proxyRequests;  // all of them, whatever the scenario
};

struct TestServerOptions {
    // Extra command-line flags, e.g. {"--proxy-port", "0", "--proxy-auth", "user:pass"}
    // or {"--faults", "noranges=1"}. --root is given already (FilesDir()).
    std::vector<std::string> args{};
    // The repository; empty means the one this library was built from.
    std::filesystem::path sourceDir{};
    // The server program relative to the repository; empty means the test server.
    // Another program gets no --root.
    std::filesystem::path script{};
};

class TestServer {
public:
    explicit TestServer(TestServerOptions options = {});
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // "http://127.0.0.1:PORT" + pathAndQuery (which starts with '/').
    std::string HttpUrl(std::string_view pathAndQuery) const;
    std::string HttpsUrl(std::string_view pathAndQuery) const;
    int HttpPort() const { return FHttpPort; }
    int HttpsPort() const { return FHttpsPort; }
    int ProxyPort() const { return FProxyPort; }  // 0 without --proxy-port
    pid_t Pid() const { return FPid; }
    // The test authority that signed the HTTPS listener's certificate.
    const std::filesystem::path& CaFile() const { return FCaFile; }
    // Served under /files/: tests put files here (and change them) while it runs.
    std::filesystem::path FilesDir() const { return FDir / "files"; }

    // The requests of one scenario (the scenario= query parameter; "" for requests
    // without one). Throws std::runtime_error when the server does not answer.
    TestServerStats Stats(std::string_view scenario) const;
    // Forgets every request and scenario counter (fault_times starts again).
    void Reset() const;

    // The content of /gen/NAME: byte i is byte (i mod 2^20) of SHAKE-256("NAME:k",
    // 2^20 bytes) with k = i div 2^20. Computed here, without the server.
    static std::string GeneratedBytes(std::string_view name, std::uint64_t offset, std::size_t length);
    // Lower-case hex MD5 of the first `size` bytes of /gen/NAME.
    static std::string GeneratedMd5(std::string_view name, std::uint64_t size);

    // GET of one of the server's own endpoints on the HTTP listener ("/_stats",
    // "/_config?..."): the answer's body. Throws std::runtime_error unless it is 200.
    std::string Get(const std::string& pathAndQuery) const;

private:
    void Stop();

    std::filesystem::path FDir;
    std::filesystem::path FCaFile;
    pid_t FPid = -1;
    int FHttpPort = 0, FHttpsPort = 0, FProxyPort = 0;
};
