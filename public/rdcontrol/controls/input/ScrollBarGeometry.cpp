#include "public/rdcontrol/controls/input/ScrollBarGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
// a * b / c rounded to nearest, halves away from zero; c > 0.
int MulDivRound(long long a, long long b, long long c) {
    const long long p = a * b;
    const long long q = (std::llabs(p) + c / 2) / c;
    return static_cast<int>(p < 0 ? -q : q);
}
}  // namespace

int ScrollMaxPosition(int min, int max, int pageSize) {
    int top = max;
    if (pageSize > 0) top = std::max(min, max - pageSize + 1);
    return top;
}

TScrollBarGeometry ComputeScrollBarGeometry(const TScrollBarMetrics& m) {
    TScrollBarGeometry g;
    g.TrackStart = std::max(0, m.ArrowStart);
    g.TrackEnd = std::max(g.TrackStart, m.Length - std::max(0, m.ArrowEnd));
    const int track = g.TrackLength();
    const long long span = static_cast<long long>(m.Max) - m.Min + 1;
    g.Range = static_cast<int>(std::clamp<long long>(std::min(span - 1, span - m.PageSize), -1, 1LL << 30));

    int thumb = 0;
    bool hasThumb = true;
    if (m.PageSize <= 0) {
        thumb = m.MinThumb;
    } else if (!m.Enabled || span <= m.PageSize) {
        hasThumb = false;
    } else {
        thumb = std::max(m.MinThumb, MulDivRound(m.PageSize, track, span));
    }
    thumb = std::min(thumb, track);
    g.ThumbLength = thumb;
    g.ThumbVisible = hasThumb && thumb + std::max(0, m.ArrowStart) + std::max(0, m.ArrowEnd) < m.Length;
    int offset = 0;
    if (g.Range >= 1) {
        const long long pos = std::clamp<long long>(static_cast<long long>(m.Position) - m.Min, 0, g.Range);
        offset = MulDivRound(pos, track - thumb, g.Range);
    }
    g.ThumbStart = g.TrackStart + offset;
    return g;
}

int ScrollPositionFromThumb(const TScrollBarMetrics& m, const TScrollBarGeometry& g, int thumbStart) {
    const int free = g.TrackLength() - g.ThumbLength;
    if (free <= 0 || g.Range < 1) return m.Min;
    const int offset = std::clamp(thumbStart - g.TrackStart, 0, free);
    return m.Min + MulDivRound(offset, g.Range, free);
}
