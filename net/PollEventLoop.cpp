#include "net/PollEventLoop.h"

#include <poll.h>

#include <vector>

PollEventLoop::~PollEventLoop() {
    // Posted calls may own objects (an attempt waiting to be freed) whose destructors
    // stop timers and unwatch sockets here: free them while the loop is whole.
    while (!FPosted.empty()) {
        std::deque<Callback> pending;
        pending.swap(FPosted);
    }
}

void PollEventLoop::Post(Callback call) { FPosted.push_back(std::move(call)); }

EventLoop::TimerId PollEventLoop::StartTimer(std::chrono::milliseconds interval, bool repeat, Callback call) {
    const TimerId id = FNextTimer++;
    FTimers[id] = Timer{Clock::now() + interval, interval, repeat, std::move(call)};
    return id;
}

void PollEventLoop::StopTimer(TimerId id) { FTimers.erase(id); }

void PollEventLoop::WatchSocket(SocketHandle socket, int events, SocketCallback callback) {
    FSockets[socket] = Watch{events, std::move(callback)};
}

void PollEventLoop::UnwatchSocket(SocketHandle socket) { FSockets.erase(socket); }

void PollEventLoop::RunDueTimers() {
    const auto now = Clock::now();
    std::vector<TimerId> due;
    for (const auto& [id, timer] : FTimers)
        if (timer.due <= now) due.push_back(id);
    for (TimerId id : due) {
        auto it = FTimers.find(id);
        if (it == FTimers.end()) continue;  // stopped by an earlier callback
        Callback call = it->second.call;
        if (it->second.repeat) it->second.due = now + it->second.interval;
        else FTimers.erase(it);
        call();
    }
}

void PollEventLoop::RunPosted() {
    // Only what was posted before this round; calls posted now wait for the next.
    std::deque<Callback> ready;
    ready.swap(FPosted);
    for (Callback& call : ready) call();
}

void PollEventLoop::RunOnce(std::chrono::milliseconds maxWait) {
    auto wait = maxWait;
    if (!FPosted.empty()) wait = std::chrono::milliseconds(0);
    const auto now = Clock::now();
    for (const auto& [id, timer] : FTimers) {
        const auto until = std::chrono::duration_cast<std::chrono::milliseconds>(timer.due - now);
        if (until < wait) wait = std::max(until, std::chrono::milliseconds(0));
    }

    std::vector<pollfd> fds;
    fds.reserve(FSockets.size());
    for (const auto& [socket, watch] : FSockets) {
        short events = 0;
        if (watch.events & kReadable) events |= POLLIN;
        if (watch.events & kWritable) events |= POLLOUT;
        fds.push_back(pollfd{static_cast<int>(socket), events, 0});
    }
    const int n = poll(fds.data(), fds.size(), static_cast<int>(wait.count()));
    if (n > 0) {
        for (const pollfd& p : fds) {
            if (!p.revents) continue;
            auto it = FSockets.find(static_cast<SocketHandle>(p.fd));
            if (it == FSockets.end()) continue;  // unwatched by an earlier callback
            int ready = 0;
            if (p.revents & (POLLIN | POLLHUP)) ready |= kReadable;
            if (p.revents & POLLOUT) ready |= kWritable;
            if (p.revents & (POLLERR | POLLNVAL)) ready |= kError;
            SocketCallback callback = it->second.callback;
            callback(ready);
        }
    }
    RunDueTimers();
    RunPosted();
}

std::unique_ptr<EventLoop> MakeEventLoop() { return std::make_unique<PollEventLoop>(); }

// No platform messages here: the filter is kept only so that callers need no
// platform checks.
void SetPlatformMessageFilter(std::function<bool(void* platformMessage)> filter) {
    static std::function<bool(void*)> unused;
    unused = std::move(filter);
}
