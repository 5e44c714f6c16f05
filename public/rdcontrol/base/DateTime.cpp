#include "public/rdcontrol/base/DateTime.h"

#include <chrono>
#include <cmath>

namespace {
using namespace std::chrono;
constexpr sys_days kEpoch = sys_days(year(1899) / December / 30);
constexpr long long kMsPerDay = 86400000;
}  // namespace

TDateTime EncodeDateTime(int y, int m, int d, int hour, int minute, int second, int ms) {
    const sys_days day = sys_days(year(y) / month(static_cast<unsigned>(m)) / static_cast<unsigned>(d));
    const long long timeMs = ((hour * 60LL + minute) * 60 + second) * 1000 + ms;
    return static_cast<double>((day - kEpoch).count()) + static_cast<double>(timeMs) / kMsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime value) {
    long long days = static_cast<long long>(std::floor(value));
    long long ms = std::llround((value - static_cast<double>(days)) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ++days;
        ms -= kMsPerDay;
    }
    const year_month_day ymd(kEpoch + std::chrono::days(days));
    return {static_cast<int>(ymd.year()),          static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(ms / 3600000),       static_cast<int>(ms / 60000 % 60),
            static_cast<int>(ms / 1000 % 60),     static_cast<int>(ms % 1000)};
}
