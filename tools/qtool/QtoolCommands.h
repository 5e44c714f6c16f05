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

// Dispatches `args` (subcommand first); prints usage and returns 2 when unknown.
int RunQtool(const QtoolArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
