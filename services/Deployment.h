#pragma once
// Where the maker's servers are. Each role has an address made of a scheme and a host
// with an optional port ("https://update.example.com", "http://127.0.0.1:8080"),
// without a path: the code that uses a role appends its own fixed path.
//
// The production addresses are fixed when the program is built (CMake cache
// variables QARTO_UPDATE_HOST, QARTO_REGIONAL_HOST, QARTO_DOWNLOAD_HOST,
// QARTO_API_HOST, QARTO_STATS_HOST, QARTO_REDIRECT_HOST, QARTO_WEB_HOST). A
// developer or test machine overrides them at run time only through the registry:
// string values of HKEY_LOCAL_MACHINE "SOFTWARE\Qarto Private Browser\InstallerDev"
// (32-bit view) named "UpdateHost", "RegionalHost", "DownloadHost", "ApiHost",
// "StatsHost", "RedirectHost", "WebHost". Only administrators can write there, so
// another user cannot redirect an elevated installer. A missing, empty or malformed
// value keeps the built-in address.
//
// A release build (CMake option QARTO_RELEASE) speaks https only with the servers
// that decide what runs: the update, regional, download and API addresses, built in
// or overridden, must be https (an http override is ignored), and so must the package
// address a descriptor names. Developer and test builds also allow http.
//
// The registry is read once, at construction; blocking (seven reads), then no I/O.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "os/Registry.h"

enum class TServerRole { Update, Regional, Download, Api, Stats, Redirect, Web };
inline constexpr int kServerRoleCount = 7;

inline constexpr const char* kDeploymentOverrideKey = "SOFTWARE\\Qarto Private Browser\\InstallerDev";

// Which schemes the servers that decide what runs may use.
enum class TSchemePolicy {
    AllowHttp,  // developer and test builds: http or https
    HttpsOnly,  // release builds: https for the update, regional, download and API roles
};
// The policy of this build (HttpsOnly in a release build).
TSchemePolicy BuildSchemePolicy();

// Whether `role` decides what runs (its address must be https under HttpsOnly).
bool DecidesWhatRuns(TServerRole role);
// Whether `url` may be used for the setup package under `policy`: https always,
// http only under AllowHttp (the transport refuses any other scheme anyway).
bool PackageUrlAllowed(std::string_view url, TSchemePolicy policy);

class TDeployment {
public:
    // The built-in addresses with the registry's overrides.
    explicit TDeployment(const Registry& registry, TSchemePolicy policy = BuildSchemePolicy());

    // "scheme://host[:port]", no trailing "/".
    const std::string& Host(TServerRole role) const { return FHosts[static_cast<std::size_t>(role)]; }
    // Replaces one role's address (tools do this on request, as the registry would).
    // False, leaving it unchanged, when `address` is not a valid one, or is http for a
    // role that decides what runs under an HttpsOnly policy.
    bool Override(TServerRole role, std::string_view address);

    // Whether `host` (a name or address without scheme or port, any case) is the host
    // of one of the roles' addresses: the servers the installer trusts to name where
    // the browser goes.
    bool IsServerHost(std::string_view host) const;

    // The registry value that overrides `role` ("ApiHost"...).
    static std::string_view ValueName(TServerRole role);
    // The production address of `role`.
    static std::string_view BuiltIn(TServerRole role);
    // `text` as an address: "http://" or "https://" (any case), a host name, an IPv4
    // address or a bracketed IPv6 address, an optional port 1..65535, and nothing
    // after it but an optional "/"; blanks around it are ignored. The result has a
    // lower-case scheme and no trailing "/". nullopt for anything else.
    static std::optional<std::string> ParseAddress(std::string_view text);

private:
    TSchemePolicy FPolicy;
    std::array<std::string, kServerRoleCount> FHosts;
};
