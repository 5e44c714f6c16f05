#include "os/Clock.h"

#include <windows.h>

namespace {

class WinClock final : public Clock {
public:
    TSystemTime LocalTime() const override {
        SYSTEMTIME t{};
        GetLocalTime(&t);
        return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
    }
    // Every supported system (Windows 7 and later) has the 64-bit count, and a
    // static program links it directly.
    std::uint64_t TickCount64() const override { return GetTickCount64(); }
};

}  // namespace

Clock& WindowsClock() {
    static WinClock instance;
    return instance;
}
