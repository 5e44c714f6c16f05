#include "services/GzipDecode.h"

#include <zlib.h>

#include <algorithm>

namespace {

struct Inflater {
    z_stream stream{};
    bool ready = false;
    Inflater() { ready = inflateInit2(&stream, 16 + MAX_WBITS) == Z_OK; }  // gzip wrapper only
    ~Inflater() {
        if (ready) inflateEnd(&stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
};

}  // namespace

std::optional<std::string> GzipDecode(std::string_view data, std::size_t limit) {
    if (data.empty()) return std::nullopt;
    Inflater inflater;
    if (!inflater.ready) return std::nullopt;
    z_stream& z = inflater.stream;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    std::size_t inputLeft = data.size();
    std::string out;
    char buffer[16384];
    for (;;) {
        // zlib counts in 32-bit units: feed big inputs in pieces.
        if (z.avail_in == 0 && inputLeft > 0) {
            z.avail_in = static_cast<uInt>(std::min<std::size_t>(inputLeft, 1u << 30));
            inputLeft -= z.avail_in;
        }
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int rc = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = sizeof buffer - z.avail_out;
        if (out.size() + produced > limit) return std::nullopt;
        out.append(buffer, produced);
        if (rc == Z_STREAM_END) {
            if (z.avail_in == 0 && inputLeft == 0) return out;
            // Another member follows.
            if (inflateReset(&z) != Z_OK) return std::nullopt;
            continue;
        }
        // Damaged, or no progress possible: the input ended inside a member.
        if (rc != Z_OK && (rc != Z_BUF_ERROR || produced == 0)) return std::nullopt;
    }
}
