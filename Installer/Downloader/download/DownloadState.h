#pragma once
// The state file of a download ("<file>.dat" beside it), as read back to continue an
// earlier attempt, and the bounds every size the engine takes from outside must
// keep. The file lies in a folder that other programs may have written to and its
// counts decide where bytes are written, so it is trusted only when every count is
// in range. Portable; blocking file reads; any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The largest resource the engine downloads. The setup package is a few hundred MiB;
// 4 GiB leaves it room to grow many times over, stays within what FAT32 drives can
// hold in one file, and keeps a lying server from making the file grow without end.
inline constexpr std::int64_t kMaxDownloadBytes = std::int64_t{4} << 30;
// The most parts a state file may describe (the engine uses at most 16).
inline constexpr int kMaxStateParts = 64;

// Bytes of the part [start, end] of a resource of `length` bytes: every part but the
// last ends at `end` inclusive; the last one's `end` is the length itself, one past
// its last byte. 0 for an empty or inverted part. Inputs within [0, kMaxDownloadBytes]
// never overflow.
std::int64_t PartByteCount(std::int64_t start, std::int64_t end, std::int64_t length);

struct TSavedPart {
    std::int64_t startOffset = 0, endOffset = 0, dataCount = 0;
    std::string url;  // "" when the file gives none
};

struct TDownloadState {
    std::string url;  // "" when the file gives none
    std::string md5;  // "DownloadConfigMD5", "" when none
    std::int64_t contentLength = 0;
    std::vector<TSavedPart> parts;
};

// The state in `file`, or nullopt when it is missing or not trustworthy:
// ContentLength must be 1..kMaxDownloadBytes, PartCount 1..kMaxStateParts, sections
// PART_0 .. PART_<PartCount-1> must all be there, lie in order without gap or
// overlap from 0 to the end of the resource, and each DataCount must be within its
// part. Numbers that are not whole decimal integers count as out of range.
std::optional<TDownloadState> ReadDownloadState(const std::string& file);
