#pragma once
// Where a PE file (a Windows program) keeps what its Authenticode digest leaves out:
// the optional header's CheckSum, the certificate table's directory entry and the
// certificate table itself. Read from hostile bytes: every offset and size is checked
// against the file before it is used. Portable, no allocation beyond the section
// headers' small reads; blocking.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// Reads exactly `size` bytes at `offset`; false when it cannot.
using TReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t size)>;

struct TPeSignatureLayout {
    std::uint64_t fileSize = 0;
    std::uint64_t checksumOffset = 0;   // 4 bytes
    std::uint64_t certEntryOffset = 0;  // 8 bytes: the table's file offset and size
    // The certificate table; both 0 when the file is not signed. When signed it ends
    // the file (nothing follows it), begins on an 8-byte boundary after the headers
    // and after every section's data, so no byte the loader maps lies inside it.
    std::uint64_t tableOffset = 0;
    std::uint64_t tableSize = 0;
};

// The layout of the PE file of `fileSize` bytes that `read` reads; nullopt with the
// reason in `error` when it is not a PE file or its certificate table breaks a rule
// above (the table cut short by the file's end, data after it, a table among the
// headers or the sections).
std::optional<TPeSignatureLayout> ReadPeSignatureLayout(const TReadAt& read, std::uint64_t fileSize,
                                                        std::string& error);
