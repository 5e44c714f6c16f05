#include "services/Deployment.h"

#include <cctype>

#include "public/rdcontrol/base/TextCase.h"
#include "public/rdcontrol/base/TextLines.h"

#ifndef QARTO_RELEASE
#error "the build says whether this is a release build (QARTO_RELEASE, see services/CMakeLists.txt)"
#endif
#ifndef QARTO_UPDATE_HOST
#error "the build sets the production addresses (QARTO_*_HOST, see services/CMakeLists.txt)"
#endif

namespace {

struct TRoleInfo {
    const char* valueName;
    const char* builtIn;
};

constexpr std::array<TRoleInfo, kServerRoleCount> kRoles = {{
    {"UpdateHost", QARTO_UPDATE_HOST},
    {"RegionalHost", QARTO_REGIONAL_HOST},
    {"DownloadHost", QARTO_DOWNLOAD_HOST},
    {"ApiHost", QARTO_API_HOST},
    {"StatsHost", QARTO_STATS_HOST},
    {"RedirectHost", QARTO_REDIRECT_HOST},
    {"WebHost", QARTO_WEB_HOST},
}};

bool IsHostNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool IsValidHost(std::string_view host) {
    if (host.empty()) return false;
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') return false;
        for (char c : host.substr(1, host.size() - 2))
            if (!std::isxdigit(static_cast<unsigned char>(c)) && c != ':' && c != '.') return false;
        return true;
    }
    for (char c : host)
        if (!IsHostNameChar(c)) return false;
    return true;
}

// Host names compare in ASCII only: a folding that maps other letters onto ASCII
// ones would let a look-alike name pass.
bool SameAsciiNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool IsValidPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    int value = 0;
    for (char c : port) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

}  // namespace

TSchemePolicy BuildSchemePolicy() { return QARTO_RELEASE ? TSchemePolicy::HttpsOnly : TSchemePolicy::AllowHttp; }

bool DecidesWhatRuns(TServerRole role) {
    return role == TServerRole::Update || role == TServerRole::Regional || role == TServerRole::Download ||
           role == TServerRole::Api;
}

bool PackageUrlAllowed(std::string_view url, TSchemePolicy policy) {
    return policy == TSchemePolicy::AllowHttp || StartsWithNoCase(url, "https://");
}

std::optional<std::string> TDeployment::ParseAddress(std::string_view text) {
    text = TrimBlanks(text);
    std::string scheme;
    for (const char* candidate : {"https://", "http://"}) {
        if (StartsWithNoCase(text, candidate)) {
            scheme = candidate;
            break;
        }
    }
    if (scheme.empty()) return std::nullopt;
    std::string_view rest = text.substr(scheme.size());
    if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
    // The port follows the last ":" that is not inside an IPv6 address's brackets.
    std::string_view host = rest, port;
    const size_t bracket = rest.rfind(']');
    const size_t colon = rest.rfind(':');
    if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (!IsValidPort(port)) return std::nullopt;
    }
    if (!IsValidHost(host)) return std::nullopt;
    return scheme + std::string(rest);
}

std::string_view TDeployment::ValueName(TServerRole role) { return kRoles[static_cast<std::size_t>(role)].valueName; }

std::string_view TDeployment::BuiltIn(TServerRole role) { return kRoles[static_cast<std::size_t>(role)].builtIn; }

TDeployment::TDeployment(const Registry& registry, TSchemePolicy policy) : FPolicy(policy) {
    for (int i = 0; i < kServerRoleCount; ++i) {
        const auto role = static_cast<TServerRole>(i);
        FHosts[static_cast<std::size_t>(i)] = std::string(BuiltIn(role));
        if (auto value = registry.ReadString(RegistryRoot::LocalMachine, kDeploymentOverrideKey,
                                             std::string(ValueName(role)), RegistryView::Default))
            Override(role, *value);
    }
}

bool TDeployment::IsServerHost(std::string_view host) const {
    for (const std::string& address : FHosts) {
        // Every address is well formed (ParseAddress): "scheme://host[:port]".
        std::string_view h = std::string_view(address).substr(address.find("://") + 3);
        const size_t bracket = h.rfind(']');
        const size_t colon = h.rfind(':');
        if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket))
            h = h.substr(0, colon);
        if (!h.empty() && SameAsciiNoCase(h, host)) return true;
    }
    return false;
}

bool TDeployment::Override(TServerRole role, std::string_view address) {
    auto parsed = ParseAddress(address);
    if (!parsed) return false;
    if (FPolicy == TSchemePolicy::HttpsOnly && DecidesWhatRuns(role) && parsed->rfind("https://", 0) != 0)
        return false;
    FHosts[static_cast<std::size_t>(role)] = std::move(*parsed);
    return true;
}
