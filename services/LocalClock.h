#pragma once
// Local time for the product services: time stamps in names and boundaries, and a
// clock reading that never fails. A wrong system clock (an impossible year after a
// dead CMOS battery, say) must not stop an installation. Pure over the Clock seam.
#include <optional>
#include <string>
#include <string_view>

#include "os/Clock.h"
#include "public/rdcontrol/base/DateTime.h"

// Whether the fields name a real date and time (year 1..9999).
bool IsValidSystemTime(const TSystemTime& t);

// The fields formatted by `pattern`, whose letters mean: "yyyy" the year, "yy" its
// last two digits, "mm" month, "dd" day, "hh" hour (0..23), "nn" minutes, "ss"
// seconds, "zzz" milliseconds, each with leading zeros; other characters stand for
// themselves. nullopt when the fields are not a valid time.
std::optional<std::string> FormatTimeStamp(const TSystemTime& t, std::string_view pattern);

// The current local date-time. When the clock's fields are not a valid date because
// of the year, the year 2021 stands in for it; when they are invalid otherwise, 0.
TDateTime SafeLocalNow(const Clock& clock);
