#pragma once
// Where the installer came from and where the browser goes first: the install-source
// switch (from the command line or the tail of the program file), the redirect
// address and the browser's start link, and the command lines that carry them.
// Portable; ReadProgramTail reads a file.
#include <optional>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "services/Deployment.h"

// The install source's value as it may reach the elevated package: 1 to 64 ASCII
// letters, digits, "_", "-" and ".". The command line and the file's tail are
// anybody's text; nothing else may ride into the package's command line with it.
bool IsValidInstallSource(std::string_view value);
// "/insur=" followed by a valid value.
bool IsInstallSourceSwitch(std::string_view text);

// The first command-line parameter containing "/insur=" (exact case); else the value
// from the program file's tail. That text is returned only when it is exactly
// "/insur=" and a valid value; otherwise "" and `*dropped` (when given) is set, so
// the caller can say so. `trace` (when given) receives, for support, each parameter
// looked at and, when the tail is read, "Buf: <tail text> Result: <its switch>"
// (control characters shown as "?"; the tail's text is "" unless it holds "insur").
std::string GetInsurParam(const std::vector<std::string>& parameters, const std::string& programTail,
                          bool* dropped = nullptr, const std::function<void(const std::string&)>& trace = {});
// The last 512 bytes of `programFile` as single-byte text up to the first zero byte;
// "" when it cannot be read.
std::string ReadProgramTail(const std::string& programFile);
// "/insur=<value>" from a tail holding the JSON member "insur" with a string value;
// "" when the tail holds no "insur" text or no such member.
std::string InsurFromTail(const std::string& tail);

// RFC 3986 percent-encoding: the unreserved characters (ASCII letters, digits, "-",
// ".", "_", "~") as they are, every other byte as "%" and two upper-case hex digits.
std::string PercentEncode(std::string_view text);

// `text` (the API's "pc_dump_url", server text) when it names one of the
// deployment's servers over https: "https://" (any case), a host that
// TDeployment::IsServerHost knows (any case), an optional port, and an optional path.
// Refused (nullopt): another scheme or none, user information ("https://good@evil"),
// another host ("https://good.evil"), a query or fragment, and blanks, quotes,
// backslashes, control or non-ASCII characters anywhere. The result has a lower-case
// scheme and host, no trailing "/", and its path percent-encoded: unreserved
// characters and "/" kept, "%XX" escapes kept, every other character encoded.
std::optional<std::string> TrustedServerUrl(std::string_view text, const TDeployment& deployment);

// The redirect address: `pcDumpUrl` (the API's answer), when TrustedServerUrl
// accepts it, with "/appgoto?name=zyr" appended; the built-in address otherwise (an
// empty answer included).
std::string AppGotoLink(const std::string& pcDumpUrl, const std::string& builtInRedirect,
                        const TDeployment& deployment);
// The browser's first address: the redirect, its version and language, each value
// percent-encoded (the language comes from a file in the install folder).
std::string BrowserStartLink(const std::string& gotoLink, const std::string& browserVersion,
                             const std::string& customLanguage);
// The browser's parameters: /InstallerStart "<link>" unless "Status" is 5 (the link
// always in quotes, as TCommandLine writes it).
std::string BrowserStartParameters(int status, const std::string& link);
// zyRInit.exe's parameters: /DefaultBrowser /installdir="<folder>", the folder
// without its trailing backslash (FolderArgument in os/CommandLine.h).
std::string DefaultBrowserParameters(const std::string& installPath);
