#include "public/rdcontrol/base/RdTimer.h"

#include <stdexcept>
#include <string>
#include <thread>

namespace {

EventLoop* GDefaultLoop = nullptr;
int GRunning = 0;

constexpr int kArmAttempts = 3;
constexpr std::chrono::milliseconds kArmRetryWait{100};
// What the loop tells us about a refusal: only that it happened.
constexpr const char* kRefusedText = "timer refused";

}  // namespace

TRdTimer::TRdTimer(EventLoop* loop) : FLoop(loop), FSelf(std::make_shared<TRdTimer*>(this)) {}

TRdTimer::~TRdTimer() {
    *FSelf = nullptr;
    Kill();
}

EventLoop* TRdTimer::DefaultLoop() { return GDefaultLoop; }
void TRdTimer::SetDefaultLoop(EventLoop* loop) { GDefaultLoop = loop; }
int TRdTimer::RunningCount() { return GRunning; }

void TRdTimer::SetEnabled(bool value) {
    if (FEnabled == value) return;
    FEnabled = value;
    Rearm();
}

void TRdTimer::SetInterval(unsigned milliseconds) {
    if (FInterval == milliseconds) return;
    FInterval = milliseconds;
    Rearm();
}

void TRdTimer::SetOnTimer(TTimerEvent handler) {
    const bool wasAssigned = static_cast<bool>(FOnTimer);
    FOnTimer = std::move(handler);
    if (wasAssigned != static_cast<bool>(FOnTimer)) Rearm();
}

void TRdTimer::Kill() {
    if (FTimerId == 0) return;
    FArmedLoop->StopTimer(FTimerId);
    FTimerId = 0;
    FArmedLoop = nullptr;
    --GRunning;
}

void TRdTimer::Rearm() {
    Kill();
    if (FInterval == 0 || !FEnabled || !FOnTimer) return;
    EventLoop* loop = FLoop ? FLoop : GDefaultLoop;
    if (!loop) throw std::logic_error("TRdTimer: no event loop to run on");

    // The loop timer's callback knows the object only through the cell, and its own
    // id through a second cell filled in once the loop has answered.
    auto id = std::make_shared<EventLoop::TimerId>(0);
    auto callback = [self = std::weak_ptr<TRdTimer*>(FSelf), id, loop]() {
        const std::shared_ptr<TRdTimer*> cell = self.lock();
        TRdTimer* timer = cell ? *cell : nullptr;
        if (!timer) {
            loop->StopTimer(*id);
            return;
        }
        // A copy: the handler may replace OnTimer or free the timer while it runs.
        const TTimerEvent handler = timer->FOnTimer;
        if (handler) handler(timer);
    };
    for (int attempt = 1; attempt <= kArmAttempts; ++attempt) {
        *id = loop->StartTimer(std::chrono::milliseconds(FInterval), true, callback);
        if (*id != 0) {
            FTimerId = *id;
            FArmedLoop = loop;
            ++GRunning;
            return;
        }
        if (attempt < kArmAttempts) std::this_thread::sleep_for(kArmRetryWait);
    }
    throw std::runtime_error(std::string(kRefusedText) + ":" + std::to_string(GRunning));
}
