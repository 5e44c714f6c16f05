#pragma once
// The product API stand-in (tools/apiserver/qarto_api_server.py) for a GoogleTest
// program: how it answers (Configure) and what it received and found (Requests).
// Blocking calls; one thread. Host only.
#include <nlohmann/json.hpp>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "tests/support/TestServer.h"

class ApiStandIn {
public:
    ApiStandIn() : FServer({.script = "tools/apiserver/qarto_api_server.py"}) {}

    // "http://127.0.0.1:PORT" / "https://127.0.0.1:PORT", no trailing "/".
    std::string HttpHost() const { return FServer.HttpUrl(""); }
    std::string HttpsHost() const { return FServer.HttpsUrl(""); }
    const std::filesystem::path& CaFile() const { return FServer.CaFile(); }

    // Replaces the answer settings ("answer=fail&error_type=..."; see the server's
    // README) and forgets the requests recorded so far.
    void Configure(const std::string& query) const {
        FServer.Get("/_reset");
        FServer.Get("/_config?" + query);
    }
    // Every request since the last Configure, oldest first, as the server recorded it.
    nlohmann::json Requests() const { return nlohmann::json::parse(FServer.Get("/_requests")); }

private:
    TestServer FServer;
};

// A loopback port nothing listens on (free a moment ago): connections are refused.
inline int UnusedLoopbackPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    close(s);
    return ntohs(address.sin_port);
}
