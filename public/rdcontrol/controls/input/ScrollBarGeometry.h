#pragma once
// Where the parts of a skinned scroll bar go, along the bar (heights of a vertical
// bar, widths of a horizontal one):
// - the arrows take their lengths at the two ends; the track is the span between;
// - thumb length: MinThumb with PageSize 0; no thumb when the bar is disabled or
//   the range Max - Min + 1 is no larger than PageSize; otherwise
//   PageSize / (Max - Min + 1) x track rounded to nearest, at least MinThumb;
// - r = min(Max - Min, Max - Min - PageSize + 1); the thumb starts at track start
//   + min(Position - Min, r) / r x (track - thumb) rounded to nearest (0 when r < 1);
// - the thumb shows only when it and both arrows are shorter than the bar.
// Dragging the thumb to a start s gives Position = Min + (s - track start) /
// (track - thumb) x r rounded to nearest (Min when the thumb fills the track).
//
// Portable, pure.
#include <cstdint>

struct TScrollBarMetrics {
    int Length = 0;  // the bar's length
    int ArrowStart = 0, ArrowEnd = 0;
    int MinThumb = 0;
    int Min = 0, Max = 100, PageSize = 0, Position = 0;
    bool Enabled = true;
};

struct TScrollBarGeometry {
    int TrackStart = 0, TrackEnd = 0;
    bool ThumbVisible = false;
    int ThumbStart = 0, ThumbLength = 0;
    int Range = 0;  // r
    int TrackLength() const { return TrackEnd - TrackStart; }
};

TScrollBarGeometry ComputeScrollBarGeometry(const TScrollBarMetrics& m);
int ScrollPositionFromThumb(const TScrollBarMetrics& m, const TScrollBarGeometry& g, int thumbStart);
// The largest position the bar can take: Max, or Max - PageSize + 1 with a page.
int ScrollMaxPosition(int min, int max, int pageSize);
