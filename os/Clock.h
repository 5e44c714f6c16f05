#pragma once
// The system's clocks: local calendar time and the tick count. Blocking, cheap.
#include <cstdint>

// Local date and time fields as the system gives them (year 1601..30827, month
// 1..12, day 1..31, hour 0..23, minute and second 0..59, milliseconds 0..999). Code
// that turns them into a date-time checks them: a broken system clock must not
// break the caller.
struct TSystemTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual TSystemTime LocalTime() const = 0;
    // Milliseconds since the system started; 64 bits, so it does not wrap.
    virtual std::uint64_t TickCount64() const = 0;
};

#ifdef _WIN32
// The Win32 implementation; one instance per process.
Clock& WindowsClock();
#endif
