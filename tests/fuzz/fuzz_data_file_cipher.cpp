// Data files are read back from the user's disk, where they may be damaged or
// replaced: any bytes must decrypt without a crash, to content of the same length
// that encrypts back to exactly those bytes, whether read from a stream or a span.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>

#include "services/DataFileCipher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> encrypted(data, size);

    std::stringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::stringstream out;
    if (!DecryptDataStream(in, out)) std::abort();
    const std::string streamed = out.str();
    if (streamed.size() != size) std::abort();

    const auto plain = DecryptData(encrypted);
    if (plain.size() != size || streamed != std::string(plain.begin(), plain.end())) std::abort();
    const auto again = EncryptData(plain);
    if (!std::equal(again.begin(), again.end(), encrypted.begin(), encrypted.end())) std::abort();
    return 0;
}
