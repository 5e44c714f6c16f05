#pragma once
// Bytes as lowercase hexadecimal text, two digits a byte (digests, fingerprints,
// random names).
#include <cstddef>
#include <string>

inline std::string LowerHex(const void* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    const auto* b = static_cast<const unsigned char*>(bytes);
    std::string hex;
    hex.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        hex += kDigits[b[i] >> 4];
        hex += kDigits[b[i] & 15];
    }
    return hex;
}
