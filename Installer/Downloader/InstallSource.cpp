#include "Installer/Downloader/InstallSource.h"

#include <fstream>

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

std::string GetInsurParam(const std::vector<std::string>& parameters, const std::string& programTail) {
    for (const std::string& p : parameters)
        if (p.find("/insur=") != std::string::npos) return p;
    return InsurFromTail(programTail);
}

std::string AppGotoLink(const std::string& pcDumpUrl, const std::string& builtInRedirect) {
    if (pcDumpUrl.empty()) return builtInRedirect;
    std::string base = pcDumpUrl;
    if (base.back() != '/') base += '/';
    // An address that names its scheme keeps it; prefixing "https://" to "http://..."
    // would make an address no browser can open.
    if (base.find("https://") != std::string::npos || base.rfind("http://", 0) == 0) return base + "appgoto?name=zyr";
    return "https://" + base + "appgoto?name=zyr";
}

std::string BrowserStartLink(const std::string& gotoLink, const std::string& browserVersion,
                             const std::string& customLanguage) {
    return gotoLink + "&ver=" + browserVersion + "&lan=" + customLanguage + "&to=install&ref=zyrInstall";
}

std::string BrowserStartParameters(int status, const std::string& link) {
    return status == 5 ? std::string() : "/InstallerStart \"" + link + "\"";
}
