#include "Installer/Downloader/flow/InstallSource.h"

#include <fstream>

#include "os/CommandLine.h"
#include "os/Utf8Path.h"

std::string ReadProgramTail(const std::string& programFile) {
    try {
        std::ifstream in(Utf8Path(programFile), std::ios::binary);
        if (!in) return {};
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        const std::streamoff take = size < 512 ? size : 512;
        in.seekg(size - take);
        std::string tail(static_cast<size_t>(take), '\0');
        if (!in.read(tail.data(), take)) return {};
        return tail.substr(0, tail.find('\0'));
    } catch (...) {
        return {};
    }
}

std::string InsurFromTail(const std::string& tail) {
    if (tail.find("insur") == std::string::npos) return {};
    const std::string member = "\"insur\":\"";
    const size_t at = tail.find(member);
    if (at == std::string::npos) return {};
    const size_t start = at + member.size();
    const size_t end = tail.find('"', start);
    return "/insur=" + (end == std::string::npos ? std::string() : tail.substr(start, end - start));
}

namespace {
constexpr std::string_view kInsurSwitch = "/insur=";
constexpr std::size_t kMaxInstallSource = 64;

bool IsInstallSourceChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
           c == '.';
}
}  // namespace

bool IsValidInstallSource(std::string_view value) {
    if (value.empty() || value.size() > kMaxInstallSource) return false;
    for (char c : value)
        if (!IsInstallSourceChar(c)) return false;
    return true;
}

bool IsInstallSourceSwitch(std::string_view text) {
    return text.substr(0, kInsurSwitch.size()) == kInsurSwitch && IsValidInstallSource(text.substr(kInsurSwitch.size()));
}

std::string GetInsurParam(const std::vector<std::string>& parameters, const std::string& programTail,
                          bool* dropped, const std::function<void(const std::string&)>& trace) {
    // One line each, whatever the text holds.
    const auto shown = [](std::string text) {
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
        return text;
    };
    std::string found;
    for (const std::string& p : parameters) {
        if (trace) trace(shown(p));
        if (p.find(kInsurSwitch) != std::string::npos) {
            found = p;
            break;
        }
    }
    if (found.empty()) {
        found = InsurFromTail(programTail);
        if (trace) {
            const std::string buffer = programTail.find("insur") == std::string::npos ? std::string() : programTail;
            trace("Buf: " + shown(buffer) + " Result: " + shown(found));
        }
    }
    if (found.empty() || IsInstallSourceSwitch(found)) return found;
    if (dropped) *dropped = true;
    return {};
}

namespace {
bool IsUnreserved(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The other characters RFC 3986 allows in a path segment (sub-delims, ":", "@"):
// accepted, and written encoded.
bool IsOtherPathChar(char c) { return std::string_view("!$&'()*+,;=:@").find(c) != std::string_view::npos; }

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool IsPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    int value = 0;
    for (char c : port) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= 65535;
}

// The path (starting with "/", or empty) encoded, or nullopt when it holds a
// character no path may hold or a "%" that starts no escape.
std::optional<std::string> EncodedPath(std::string_view path) {
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '/' || IsUnreserved(c)) {
            out += c;
        } else if (c == '%') {
            if (i + 2 >= path.size()) return std::nullopt;
            if (!IsHexDigit(path[i + 1]) || !IsHexDigit(path[i + 2])) return std::nullopt;
            out += path.substr(i, 3);
            i += 2;
        } else if (IsOtherPathChar(c)) {
            out += PercentEncode(std::string_view(&c, 1));
        } else {
            return std::nullopt;
        }
    }
    while (!out.empty() && out.back() == '/') out.pop_back();
    return out;
}
}  // namespace

std::string PercentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        if (IsUnreserved(c)) {
            out += c;
        } else {
            const auto b = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::optional<std::string> TrustedServerUrl(std::string_view text, const TDeployment& deployment) {
    constexpr std::string_view scheme = "https://";
    if (text.size() < scheme.size() || AsciiLower(text.substr(0, scheme.size())) != scheme) return std::nullopt;
    const std::string_view rest = text.substr(scheme.size());
    const size_t slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    const std::string_view path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    // Only a name or an IPv4 address with an optional port: no user information, no
    // brackets, nothing a parser elsewhere could read as another host.
    std::string_view host = authority, port;
    if (const size_t colon = authority.find(':'); colon != std::string_view::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (!IsPort(port)) return std::nullopt;
    }
    if (host.empty()) return std::nullopt;
    for (char c : host)
        if (!IsUnreserved(c) || c == '~') return std::nullopt;
    if (!deployment.IsServerHost(host)) return std::nullopt;
    const auto encodedPath = EncodedPath(path);
    if (!encodedPath) return std::nullopt;
    return std::string(scheme) + AsciiLower(host) + (port.empty() ? "" : ":" + std::string(port)) + *encodedPath;
}

std::string AppGotoLink(const std::string& pcDumpUrl, const std::string& builtInRedirect,
                        const TDeployment& deployment) {
    const auto trusted = TrustedServerUrl(pcDumpUrl, deployment);
    return trusted ? *trusted + "/appgoto?name=zyr" : builtInRedirect;
}

std::string BrowserStartLink(const std::string& gotoLink, const std::string& browserVersion,
                             const std::string& customLanguage) {
    return gotoLink + "&ver=" + PercentEncode(browserVersion) + "&lan=" + PercentEncode(customLanguage) +
           "&to=install&ref=zyrInstall";
}

std::string BrowserStartParameters(int status, const std::string& link) {
    if (status == 5) return {};
    return TCommandLine().Add("/InstallerStart").Add(link, TQuoting::Always).Text();
}

std::string DefaultBrowserParameters(const std::string& installPath) {
    return TCommandLine().Add("/DefaultBrowser").AddSwitch("/installdir=", FolderArgument(installPath)).Text();
}
