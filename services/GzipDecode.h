#pragma once
// Decoding of gzip-encoded API answers (RFC 1952) with zlib. Answers are a few
// kilobytes of JSON; a body that would decode to far more (a "gzip bomb") is refused
// once the limit is passed, so memory stays bounded whatever the server sends.
// Pure: blocking, CPU only, any thread.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The bytes of the members of `data` (one gzip member, or several one after the
// other as gzip tools write them). nullopt when the input is not gzip, is damaged
// (a wrong checksum or length included), ends early, or decodes to more than
// `limit` bytes.
std::optional<std::string> GzipDecode(std::string_view data, std::size_t limit);
