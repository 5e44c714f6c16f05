#pragma once
// The subcommands of qtool, the support and scripting tool over the installer's
// core. Each takes its arguments (after the subcommand name) and the standard
// streams, and returns the exit status: 0 on success. Bad input raises
// QtoolError, which main() reports as one line on standard error with status 2.
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

class QtoolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using QtoolArgs = std::vector<std::string>;

int IniGet(const QtoolArgs& args, std::ostream& out);
int IniSet(const QtoolArgs& args);
int KvdtDecrypt(const QtoolArgs& args, std::ostream& out);
int KvdtEncrypt(const QtoolArgs& args);
int Scramble(std::istream& in, std::ostream& out);
int Unscramble(std::istream& in, std::ostream& out);
int SignBody(std::istream& in, std::ostream& out);
// download [--parts N] [--md5 HEX] [--no-state] URL FILE: one TDownloader; status 0
// when it reports success. Its last line is "result success=… code=… bytes=… md5=…".
int Download(const QtoolArgs& args, std::ostream& out);
// png-decode IN.png OUT.pam: 8-bit RGBA PAM; a picture the decoder refuses is bad
// input (its error text, status 2).
int PngDecode(const QtoolArgs& args);

// The product services, run as the installer runs them (QtoolServices.cpp).
// base-info [--base-url URL] [--email E] [--timeout S]: one GetBaseInfo; name=value
// lines, then "result server_time=<n> error=<TNetworkError name>".
int BaseInfo(const QtoolArgs& args, std::ostream& out);
// post-params URL TEXT: the answer text, then "result status=<n>".
int PostParams(const QtoolArgs& args, std::ostream& out);
// kvdt-get FILE SECTION KEY [DEFAULT]: the value, then "result found=<0|1>"; a file
// that is missing, locked or not a data file is bad input.
int KvdtGet(const QtoolArgs& args, std::ostream& out);
// kvdt-set FILE SECTION KEY VALUE: "result written=1"; a file that cannot be read is
// left unchanged and reported as bad input.
int KvdtSet(const QtoolArgs& args, std::ostream& out);
// machine-id: AppID, AppKey, MachineID, MachineKey, MachineGuid, identity_file, then
// "result device_id=<32 hex digits>".
int MachineId(const QtoolArgs& args, std::ostream& out);
// browser-probe: install_dir, beta, user_data_dir, version, then "result ok=1".
int BrowserProbe(const QtoolArgs& args, std::ostream& out);
// default-browser [OWN_EXE_NAME]: "result kind=<TBrowserKind name>".
int DefaultBrowser(const QtoolArgs& args, std::ostream& out);

// Dispatches `args` (subcommand first); prints usage and returns 2 when unknown.
int RunQtool(const QtoolArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
