#pragma once
// The event loop on POSIX systems: poll() over the watched sockets, with the next
// timer's due time as its time-out. Used by the host build (tests, qtool).
#include <deque>
#include <map>

#include "net/EventLoop.h"

class PollEventLoop final : public EventLoop {
public:
    ~PollEventLoop() override;
    void Post(Callback call) override;
    TimerId StartTimer(std::chrono::milliseconds interval, bool repeat, Callback call) override;
    void StopTimer(TimerId id) override;
    void WatchSocket(SocketHandle socket, int events, SocketCallback callback) override;
    void UnwatchSocket(SocketHandle socket) override;
    void ProcessMessages() override { RunOnce(std::chrono::milliseconds(0)); }
    void RunOnce(std::chrono::milliseconds maxWait) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        Clock::time_point due;
        std::chrono::milliseconds interval;
        bool repeat;
        Callback call;
    };
    struct Watch {
        int events;
        SocketCallback callback;
    };
    void RunDueTimers();
    void RunPosted();

    std::deque<Callback> FPosted;
    std::map<TimerId, Timer> FTimers;
    TimerId FNextTimer = 1;
    std::map<SocketHandle, Watch> FSockets;
};
