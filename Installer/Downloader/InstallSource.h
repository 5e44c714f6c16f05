#pragma once
// Where the installer came from and where the browser goes first: the install-source
// switch (from the command line or the tail of the program file), the redirect
// address and the browser's start link. Portable; InsurFromProgramTail reads a file.
#include <string>
#include <vector>

// The first command-line parameter containing "/insur=" (exact case), whole; else
// the value from the program file's tail; else "".
std::string GetInsurParam(const std::vector<std::string>& parameters, const std::string& programTail);
// The last 512 bytes of `programFile` as single-byte text up to the first zero byte;
// "" when it cannot be read.
std::string ReadProgramTail(const std::string& programFile);
// "/insur=<value>" from a tail holding the JSON member "insur" with a string value;
// "" when the tail holds no "insur" text or no such member.
std::string InsurFromTail(const std::string& tail);

// The redirect address: `pcDumpUrl` (the API's answer) with "/" and
// "appgoto?name=zyr" appended, "https://" put before a bare host; the built-in
// address when it is empty.
std::string AppGotoLink(const std::string& pcDumpUrl, const std::string& builtInRedirect);
// The browser's first address: the redirect, its version and language.
std::string BrowserStartLink(const std::string& gotoLink, const std::string& browserVersion,
                             const std::string& customLanguage);
// The browser's parameters: "/InstallerStart "<link>"" unless "Status" is 5.
std::string BrowserStartParameters(int status, const std::string& link);
