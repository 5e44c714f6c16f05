#pragma once
// The one event loop of the process. Every event the engine reacts to (posted calls,
// timers, socket readiness) is delivered on the loop's thread, one at a time. On
// Windows this is the UI thread's message loop, so window messages, modal dialogs
// and downloads share it; on other systems it is a poll() loop used by tests and
// tools. Long waits inside a handler pump the loop through ProcessMessages().
//
// All calls must be made on the loop's thread. Callbacks may call back into the
// loop (post, start or stop timers, watch sockets) and may run nested loops.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

using SocketHandle = std::uintptr_t;

class EventLoop {
public:
    using Callback = std::function<void()>;
    using TimerId = std::uint64_t;
    enum SocketEvent : int { kReadable = 1, kWritable = 2, kError = 4 };
    using SocketCallback = std::function<void(int events)>;

    virtual ~EventLoop() = default;

    // Runs `call` later, after the events already waiting.
    virtual void Post(Callback call) = 0;
    // Calls `call` after `interval`, and again every `interval` when `repeat`.
    // Returns 0 when the platform refuses the timer (Windows: its timer table full).
    virtual TimerId StartTimer(std::chrono::milliseconds interval, bool repeat, Callback call) = 0;
    // Stopping an unknown or finished timer does nothing.
    virtual void StopTimer(TimerId id) = 0;
    // Reports readiness of `socket` for `events` (kReadable | kWritable) to
    // `callback` until unwatched; a second call replaces the first.
    virtual void WatchSocket(SocketHandle socket, int events, SocketCallback callback) = 0;
    virtual void UnwatchSocket(SocketHandle socket) = 0;

    // Handles everything that is ready now, without waiting.
    virtual void ProcessMessages() = 0;
    // Waits up to `maxWait` for something to happen and handles it.
    virtual void RunOnce(std::chrono::milliseconds maxWait) = 0;

    // Runs the loop until `done()` is true or `timeout` has passed; returns done().
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Pumps the loop for about `duration` (the engine's short waits).
    void Sleep(std::chrono::milliseconds duration);
};

// The application-wide message hook. On Windows every message the loop takes from
// the thread's queue is first shown to filter (as a MSG*); returning true swallows
// it. Other platforms have no such messages and never call it. nullptr removes it.
void SetPlatformMessageFilter(std::function<bool(void* platformMessage)> filter);

// The platform's loop for the calling thread: the message loop on Windows (the UI
// thread's), poll() elsewhere.
std::unique_ptr<EventLoop> MakeEventLoop();
