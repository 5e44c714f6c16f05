#pragma once
// How the installer talks to the product server: request bodies are URL-encoded,
// scrambled (XOR with a fixed key, then Base64) and signed (HMAC-SHA256), and
// answers come back scrambled the same way. Both ends share the keys built into
// the program, so this hides the traffic from casual inspection; it is not
// secrecy.
//
// All functions are pure: blocking, CPU only, safe from any thread, no state.
// Texts are UTF-8; results are ASCII except UnscrambleText's.
#include <string>
#include <string_view>

// Value of the "sign_version" form field sent beside a body from BuildSignedBody.
inline constexpr const char* kSignVersion = "1";

// Percent-encodes every byte except the ASCII letters and digits, as "%" and two
// upper-case hex digits: "a b/é" gives "a%20b%2F%C3%A9". Space is "%20", never
// "+", and "-", ".", "_", "~" are encoded too: the signature covers these exact
// bytes, so the form must be the one the server expects, not merely a valid one.
std::string UrlEncodeUtf8(std::string_view utf8);

// XOR of byte i with the scramble key's byte (i mod 22), then standard Base64
// with "=" padding on one line. "" gives "".
std::string ScrambleText(std::string_view utf8);

// The inverse of ScrambleText.
//
// Input: CR, LF, space and tab are ignored wherever they are (servers wrap long
// lines). What remains must be canonical padded standard Base64: alphabet
// A-Z a-z 0-9 + /, a length that is a multiple of 4, "=" only as the last one or
// two characters, and zero bits in the unused low bits before the padding. Any
// other input gives "" — the same as for an empty answer, which no caller can
// use either. So every text this accepts re-scrambles to itself without the
// whitespace.
//
// Output: the unscrambled bytes exactly, valid UTF-8 or not; the caller parses
// them (as JSON) and judges them there.
std::string UnscrambleText(std::string_view base64);

// HMAC-SHA256 of the text under the signing key, as 64 lower-case hex digits.
std::string SignText(std::string_view ascii);

// The body of a signed request for a request text T (usually JSON):
// E = ScrambleText("data=" + UrlEncodeUtf8(T)), result SignText(E) + "." + E.
std::string BuildSignedBody(std::string_view requestText);

// MD5 of the text converted to the system's ANSI code page (Utf8ToAnsi), as 32
// lower-case hex digits, so characters the code page cannot hold hash as "?" and
// the result depends on the machine's code page (Windows-1252 on the host build).
// For raw bytes use TMd5 (services/Md5.h).
std::string Md5Hex(std::string_view text);
