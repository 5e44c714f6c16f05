#pragma once
// TRdTimer: the library's window-less timer, used by every animated control.
//
// Properties: Enabled [true], Interval [1000] milliseconds, OnTimer. The timer is
// armed only while Interval is not 0, Enabled is true and OnTimer is assigned; it is
// re-armed (the running loop timer stopped, a new one started) whenever Enabled or
// Interval changes, or OnTimer changes between assigned and unassigned. Replacing
// one assigned handler by another keeps the running timer. A timer without OnTimer
// never asks the loop for a timer at all.
//
// The ticks come from an EventLoop: the one given at construction, else the process
// default (SetDefaultLoop; the application sets its loop there, tests a poll loop).
// Arming without any loop throws std::logic_error.
//
// Arming retries: a loop that refuses a timer (StartTimer returns 0) is asked again
// after 100 ms, three attempts in all, blocking the calling thread for those waits;
// after the third refusal std::runtime_error is thrown with the text
// "<reason>:<number of library timers running>", and the timer stays unarmed.
//
// OnTimer may change or free the timer (or its owner): nothing of the timer is
// touched after the handler returns. A tick that reaches a timer already freed stops
// that loop timer. UI thread only (the loop's thread).
#include <chrono>
#include <functional>
#include <memory>

#include "net/EventLoop.h"

class TRdTimer {
public:
    using TTimerEvent = std::function<void(TRdTimer* sender)>;

    explicit TRdTimer(EventLoop* loop = nullptr);
    ~TRdTimer();
    TRdTimer(const TRdTimer&) = delete;
    TRdTimer& operator=(const TRdTimer&) = delete;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned milliseconds);
    const TTimerEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TTimerEvent handler);

    // Whether a loop timer is running for this object now.
    bool Armed() const { return FTimerId != 0; }

    // The loop of timers created without one; may be nullptr. The loop must outlive
    // every timer armed on it.
    static EventLoop* DefaultLoop();
    static void SetDefaultLoop(EventLoop* loop);
    // Library timers armed right now, in the whole process.
    static int RunningCount();

private:
    void Rearm();
    void Kill();

    EventLoop* FLoop;            // nullptr: the default loop at arming time
    EventLoop* FArmedLoop = nullptr;
    EventLoop::TimerId FTimerId = 0;
    // Ticks reach the object through this cell; the destructor empties it, so a
    // tick that is already queued finds nothing to call.
    std::shared_ptr<TRdTimer*> FSelf;
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TTimerEvent FOnTimer;
};
