#include "os/InternetSettings.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

namespace {
class WinInternetSettings final : public InternetSettings {
public:
    ProxySetting CurrentProxy() const override {
        // The single-byte form: the proxy list is plain ASCII host names and ports.
        std::vector<char> buffer(4096);
        DWORD size = static_cast<DWORD>(buffer.size());
        ProxySetting setting;
        if (!InternetQueryOptionA(nullptr, INTERNET_OPTION_PROXY, buffer.data(), &size)) return setting;
        const auto* info = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer.data());
        if (info->dwAccessType != INTERNET_OPEN_TYPE_PROXY || !info->lpszProxy) return setting;
        setting.proxyList = reinterpret_cast<const char*>(info->lpszProxy);
        setting.useProxy = !setting.proxyList.empty();
        return setting;
    }
};
}  // namespace

InternetSettings& WindowsInternetSettings() {
    static WinInternetSettings instance;
    return instance;
}
