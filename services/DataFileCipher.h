#pragma once
// Encryption of the browser's data files. The format is fixed by the files already
// on users' machines: AES-256 in CBC mode under a key built into the program, the
// IV being the AES encryption of a zero block under the same key, no padding (a
// final part-block is XORed with the encryption of the last chaining value, so the
// file is exactly as long as its content), and every resulting byte XORed with
// 0x3D. It keeps the files from being read or edited by hand; the key is in every
// copy of the program, so it is not protection against a determined reader.
//
// Every function blocks until all of its input is processed and keeps no state
// between calls: any thread, any number at once. The caller keeps ownership of
// the streams and buffers. Memory use of the stream functions does not grow with
// the input; the span functions hold input and result.
//
// OpenSSL failing to provide AES-256 (only possible when it cannot allocate or is
// broken) raises std::runtime_error; nothing else throws, except a stream whose
// exceptions() the caller enabled.
#include <cstdint>
#include <iosfwd>
#include <span>
#include <vector>

// The file bytes for `plain`; same length. Empty in, empty out.
std::vector<std::uint8_t> EncryptData(std::span<const std::uint8_t> plain);

// The content of a data file; same length. Any bytes decrypt to something: the
// format has no check, so a damaged file gives damaged content, never an error.
std::vector<std::uint8_t> DecryptData(std::span<const std::uint8_t> encrypted);

// Rewinds `plain` and encrypts all of it, appending the file bytes after whatever
// `out` already holds (at its current position when it cannot seek, like a pipe).
// An empty `plain` writes nothing. False when `plain` cannot be rewound or read or
// `out` refuses a write; `out` may then hold part of the result.
bool EncryptDataStream(std::istream& plain, std::ostream& out);

// Decrypts `encrypted` from its current position to its end, writes the content at
// `out`'s current position, then rewinds `out` (read and write position 0) so the
// caller can read the content straight away. False when reading or writing fails;
// `out` may then hold part of the result.
bool DecryptDataStream(std::istream& encrypted, std::iostream& out);
