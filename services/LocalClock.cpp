#include "services/LocalClock.h"

#include <chrono>
#include <cstdio>
#include "public/rdcontrol/base/DateTime.h"

namespace {

bool IsValidDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const auto ymd = std::chrono::year(year) / std::chrono::month(static_cast<unsigned>(month)) /
                     std::chrono::day(static_cast<unsigned>(day));
    return ymd.ok();
}

bool IsValidTimeOfDay(const TSystemTime& t) {
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59 &&
           t.milliseconds >= 0 && t.milliseconds <= 999;
}

}  // namespace

bool IsValidSystemTime(const TSystemTime& t) { return IsValidDate(t.year, t.month, t.day) && IsValidTimeOfDay(t); }

std::optional<std::string> FormatTimeStamp(const TSystemTime& t, std::string_view pattern) {
    if (!IsValidSystemTime(t)) return std::nullopt;
    std::string out;
    auto put = [&out](int value, int width) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%0*d", width, value);
        out += digits;
    };
    for (size_t i = 0; i < pattern.size();) {
        const std::string_view rest = pattern.substr(i);
        if (rest.starts_with("yyyy")) { put(t.year, 4); i += 4; }
        else if (rest.starts_with("yy")) { put(t.year % 100, 2); i += 2; }
        else if (rest.starts_with("mm")) { put(t.month, 2); i += 2; }
        else if (rest.starts_with("dd")) { put(t.day, 2); i += 2; }
        else if (rest.starts_with("hh")) { put(t.hour, 2); i += 2; }
        else if (rest.starts_with("nn")) { put(t.minute, 2); i += 2; }
        else if (rest.starts_with("ss")) { put(t.second, 2); i += 2; }
        else if (rest.starts_with("zzz")) { put(t.milliseconds, 3); i += 3; }
        else { out += pattern[i]; ++i; }
    }
    return out;
}

TDateTime SafeLocalNow(const Clock& clock) {
    TSystemTime t = clock.LocalTime();
    if (!IsValidSystemTime(t)) {
        if (t.year >= 1 && t.year <= 9999) return 0;  // not the year: nothing to repair
        t.year = 2021;
        if (!IsValidSystemTime(t)) return 0;
    }
    return EncodeDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
}
