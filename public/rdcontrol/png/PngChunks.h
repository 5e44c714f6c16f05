#pragma once
// The PNG file structure below the pixels: the signature, chunks with their CRCs,
// big-endian numbers, the text encodings of the text chunks and bounded zlib helpers.
// Internal to the PNG codec (PngDecoder, PngEncoder); not for other callers.
// Pure functions on caller-owned memory; any thread.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "public/rdcontrol/png/PngImage.h"

namespace png {

inline constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The standard caps every chunk length and image dimension at 2^31 - 1 so that a
// reader may use signed 32-bit numbers; larger values mean a corrupt file.
inline constexpr std::uint32_t kMaxChunkLength = 0x7FFFFFFFu;

// Error texts. A small fixed set so that callers and tests can match them.
inline constexpr const char* kErrSignature = "Invalid PNG signature";
inline constexpr const char* kErrHeader = "Invalid PNG header";
inline constexpr const char* kErrFilter = "Invalid filter type";
inline constexpr const char* kErrTooLarge = "Image too large";
inline constexpr const char* kErrEnd = "Unexpected end of PNG data";
inline constexpr const char* kErrPalette = "Invalid palette";
inline constexpr const char* kErrNoImageData = "Missing image data";
inline constexpr const char* kErrShortImageData = "Not enough image data";
inline constexpr const char* kErrLongImageData = "Too much image data";
inline constexpr const char* kErrChunkOrder = "Invalid chunk order";
inline constexpr const char* kErrChunkLength = "Invalid chunk length";
inline constexpr const char* kErrChunkType = "Invalid chunk type";
inline constexpr const char* kErrOutOfMemory = "Out of memory";
std::string CrcError(std::string_view chunkType);
std::string UnknownCriticalChunk(std::string_view chunkType);
std::string ZlibError(const char* zlibMessage);

inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
inline std::uint16_t ReadU16(const std::uint8_t* p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value);
void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value);

struct TChunk {
    char Type[5] = {};                     // four letters and a terminating zero
    std::span<const std::uint8_t> Data;    // inside the caller's buffer
    bool CrcOk = false;

    bool Is(const char* type) const { return std::string_view(Type) == type; }
    // Bit 5 of the first letter: lower case marks an ancillary chunk that a reader
    // may skip; upper case a critical one it must understand.
    bool Critical() const { return (Type[0] & 0x20) == 0; }
};

// Walks the chunks after the signature. Next() returns nullopt at the end of the
// input; a chunk that does not fit in the input or has an impossible length or
// type throws EPngError.
class TChunkReader {
public:
    explicit TChunkReader(std::span<const std::uint8_t> afterSignature) : FData(afterSignature) {}
    std::optional<TChunk> Next();

private:
    std::span<const std::uint8_t> FData;
    std::size_t FPos = 0;
};

// Appends one chunk (length, type, data, CRC) to a PNG byte stream.
void AppendChunk(std::vector<std::uint8_t>& out, const char* type, std::span<const std::uint8_t> data);

// Text of tEXt/zTXt chunks is ISO 8859-1; the library carries UTF-8.
std::string Latin1ToUtf8(std::span<const std::uint8_t> latin1);
// nullopt when the text has a character beyond U+00FF (or is not UTF-8).
std::optional<std::string> Utf8ToLatin1(std::string_view utf8);
bool IsValidUtf8(std::string_view text);
// A keyword is 1..79 printable Latin-1 characters without leading, trailing or
// doubled spaces.
bool IsValidKeyword(std::span<const std::uint8_t> latin1);

// zlib data inflated in one piece. nullopt when it is corrupt, incomplete, followed
// by other bytes or would exceed maxSize bytes (text chunks: bounds what a small
// file can make us allocate).
std::optional<std::vector<std::uint8_t>> InflateBounded(std::span<const std::uint8_t> data, std::size_t maxSize);
std::vector<std::uint8_t> Deflate(std::span<const std::uint8_t> data);

}  // namespace png
