#pragma once
// The system's Internet settings: which proxy the user's browsers use.
#include <string>

struct ProxySetting {
    bool useProxy = false;   // a proxy is configured (not direct, not automatic only)
    std::string proxyList;   // as the system writes it: "host:port" or "http=h:p;https=h:p"
};

class InternetSettings {
public:
    virtual ~InternetSettings() = default;
    // Blocking, cheap.
    virtual ProxySetting CurrentProxy() const = 0;
};

#ifdef _WIN32
// The WinINet settings of the current user.
InternetSettings& WindowsInternetSettings();
#endif
