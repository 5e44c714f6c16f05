#pragma once
// How the download page's bar and status line follow the installation: the download
// fills two thirds, the package run creeps on a timer whose ticks slow down, the end
// runs to 100 %. Every percentage and step is truncated, never rounded. Portable.
#include <cstdint>

inline constexpr int kProgressMaximum = 10000;
inline constexpr int kDownloadEndPosition = 6700;  // where the package run starts
inline constexpr int kSetupTickStep = 19;

// The bar position for a download at `percent` (0..100): percent x 67, at least 50.
int DownloadBarPosition(double percent);
// The status line's number for a download at `percent`: percent x 0.67.
int DownloadStatusPercent(double percent);
// The status line's number for a bar position: position / 100 of the maximum.
int PositionPercent(int position, int maximum = kProgressMaximum);

// Moving a bar stepwise to `target` on a bar `width` pixels wide: how many steps of
// which size. From 0 to 6,700 on 420 pixels: 420 steps of 15.
struct AnimationSteps {
    int steps = 0;
    int step = 0;
};
AnimationSteps AnimateSteps(int position, int target, int width);

// The package-run timer: the next interval in milliseconds for the bar's position.
int SetupTimerInterval(int position);
