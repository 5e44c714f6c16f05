#include "Installer/Downloader/flow/SetupProgress.h"

#include <algorithm>
#include <cmath>

int DownloadBarPosition(double percent) {
    return std::max(static_cast<int>(std::trunc(percent * 67)), 50);
}

int DownloadStatusPercent(double percent) { return static_cast<int>(std::trunc(percent * 0.67)); }

int PositionPercent(int position, int maximum) {
    if (maximum <= 0) return 0;
    return static_cast<int>(static_cast<std::int64_t>(position) * 100 / maximum);
}

AnimationSteps AnimateSteps(int position, int target, int width) {
    if (target <= 0 || width <= 0) return {};
    AnimationSteps a;
    a.steps = std::max(0, static_cast<int>(static_cast<std::int64_t>(target - position) * width / target));
    a.step = target / width;
    return a;
}

int SetupTimerInterval(int position) {
    if (position < 6000) return 30;
    if (position < 7000) return 80;
    if (position < 8000) return 100;
    if (position < 8500) return 120;
    if (position < 9000) return 150;
    if (position < 9600) return 180;
    if (position < 9800) return 300;
    if (position < 9900) return 500;
    if (position < 9930) return 600;
    return 1000000;
}
