#include "public/rdcontrol/png/PngChunks.h"

#include <algorithm>
#include <climits>

#include <zlib.h>

namespace png {

std::string CrcError(std::string_view chunkType) { return "CRC error in chunk " + std::string(chunkType); }
std::string UnknownCriticalChunk(std::string_view chunkType) {
    return "Unknown critical chunk " + std::string(chunkType);
}
std::string ZlibError(const char* zlibMessage) {
    return std::string("PNG data is corrupt (zlib: ") + (zlibMessage ? zlibMessage : "unknown error") + ")";
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    out.insert(out.end(), bytes, bytes + 4);
}

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

namespace {

bool IsLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::optional<TChunk> TChunkReader::Next() {
    if (FPos == FData.size()) return std::nullopt;
    const std::size_t left = FData.size() - FPos;
    if (left < 12) throw EPngError(kErrEnd);
    const std::uint8_t* p = FData.data() + FPos;
    const std::uint32_t length = ReadU32(p);
    if (length > kMaxChunkLength) throw EPngError(kErrChunkLength);
    if (left - 12 < length) throw EPngError(kErrEnd);
    TChunk chunk;
    for (int i = 0; i < 4; ++i) {
        if (!IsLetter(p[4 + i])) throw EPngError(kErrChunkType);
        chunk.Type[i] = static_cast<char>(p[4 + i]);
    }
    chunk.Data = FData.subspan(FPos + 8, length);
    // The CRC covers the type and the data; length + 4 fits zlib's uInt (length < 2^31).
    const auto crc = crc32(crc32(0L, Z_NULL, 0), p + 4, static_cast<uInt>(length + 4));
    chunk.CrcOk = crc == ReadU32(p + 8 + length);
    FPos += std::size_t{length} + 12;
    return chunk;
}

void AppendChunk(std::vector<std::uint8_t>& out, const char* type, std::span<const std::uint8_t> data) {
    AppendU32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    auto crc = crc32(crc32(0L, Z_NULL, 0), out.data() + typeAt, 4);
    if (!data.empty()) crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
    AppendU32(out, static_cast<std::uint32_t>(crc));
}

std::string Latin1ToUtf8(std::span<const std::uint8_t> latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (std::uint8_t c : latin1) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

namespace {

// Decodes one UTF-8 sequence at text[i]; advances i. -1 for a malformed sequence
// (overlong forms, surrogates and values beyond U+10FFFF included).
long NextCodePoint(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<std::uint8_t>(text[i]);
    int extra;
    long cp;
    long min;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        return -1;
    }
    if (text.size() - i <= static_cast<std::size_t>(extra)) return -1;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<std::uint8_t>(text[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    i += static_cast<std::size_t>(extra) + 1;
    return cp;
}

}  // namespace

std::optional<std::string> Utf8ToLatin1(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const long cp = NextCodePoint(utf8, i);
        if (cp < 0 || cp > 0xFF) return std::nullopt;
        out += static_cast<char>(cp);
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();)
        if (NextCodePoint(text, i) < 0) return false;
    return true;
}

bool IsValidKeyword(std::span<const std::uint8_t> latin1) {
    if (latin1.empty() || latin1.size() > 79) return false;
    if (latin1.front() == ' ' || latin1.back() == ' ') return false;
    for (std::size_t i = 0; i < latin1.size(); ++i) {
        const std::uint8_t c = latin1[i];
        if (c < 32 || (c > 126 && c < 161)) return false;
        if (c == ' ' && latin1[i + 1] == ' ') return false;  // the last one is not a space
    }
    return true;
}

std::optional<std::vector<std::uint8_t>> InflateBounded(std::span<const std::uint8_t> data, std::size_t maxSize) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK) return std::nullopt;
    struct TEnd {
        z_stream* s;
        ~TEnd() { inflateEnd(s); }
    } end{&zs};
    // Chunk data is below 2^31 bytes, so it fits zlib's uInt.
    zs.next_in = const_cast<Bytef*>(data.data());
    zs.avail_in = static_cast<uInt>(data.size());
    std::vector<std::uint8_t> out;
    std::uint8_t buffer[16384];
    for (;;) {
        zs.next_out = buffer;
        zs.avail_out = sizeof buffer;
        const int rc = inflate(&zs, Z_NO_FLUSH);
        const std::size_t produced = sizeof buffer - zs.avail_out;
        if (produced > maxSize - out.size()) return std::nullopt;
        out.insert(out.end(), buffer, buffer + produced);
        if (rc == Z_STREAM_END) break;
        if (rc != Z_OK) return std::nullopt;  // corrupt, or the input ended inside the stream
    }
    if (zs.avail_in != 0) return std::nullopt;
    return out;
}

std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        throw EPngError(kErrOutOfMemory);
    out.resize(size);
    return out;
}

}  // namespace png
