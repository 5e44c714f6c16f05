#include "net/EventLoop.h"

#include <algorithm>

bool EventLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return done();
        RunOnce(std::min(std::chrono::duration_cast<std::chrono::milliseconds>(end - now),
                         std::chrono::milliseconds(100)));
    }
    return true;
}

void EventLoop::Sleep(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    for (auto now = std::chrono::steady_clock::now(); now < end; now = std::chrono::steady_clock::now())
        RunOnce(std::chrono::duration_cast<std::chrono::milliseconds>(end - now));
}
