// The event loop on Windows: the thread's message loop. A hidden message-only window
// receives posted calls, timers (WM_TIMER) and socket readiness (WSAAsyncSelect), so
// every loop that dispatches messages on the thread - the main loop, a modal
// dialog's, ProcessMessages - also runs the engine.
#include <winsock2.h>
#include <windows.h>

#include <deque>
#include <map>

#include "net/EventLoop.h"

namespace {

std::function<bool(void*)>& MessageFilter() {
    static std::function<bool(void*)> filter;
    return filter;
}

constexpr UINT kPosted = WM_APP + 0x51;
constexpr UINT kSocket = WM_APP + 0x52;
constexpr UINT kCheckWritable = WM_APP + 0x53;
constexpr wchar_t kClassName[] = L"QartoEventLoop";

class WinEventLoop final : public EventLoop {
public:
    WinEventLoop() {
        static const bool started = [] {
            WSADATA data;
            return WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }();
        (void)started;
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = &WinEventLoop::WindowProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kClassName;
            return RegisterClassExW(&wc) != 0;
        }();
        (void)registered;
        FWindow = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }

    ~WinEventLoop() override {
        // Posted calls may own objects (an attempt waiting to be freed) whose
        // destructors stop timers and unwatch sockets here: free them while the loop
        // is whole.
        while (!FPosted.empty()) {
            std::deque<Callback> pending;
            pending.swap(FPosted);
        }
        for (auto& [id, timer] : FTimers) KillTimer(FWindow, static_cast<UINT_PTR>(id));
        for (auto& [socket, watch] : FSockets) WSAAsyncSelect(static_cast<SOCKET>(socket), FWindow, 0, 0);
        SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
        DestroyWindow(FWindow);
    }

    void Post(Callback call) override {
        FPosted.push_back(std::move(call));
        if (!FPostPending) {
            FPostPending = true;
            PostMessageW(FWindow, kPosted, 0, 0);
        }
    }

    TimerId StartTimer(std::chrono::milliseconds interval, bool repeat, Callback call) override {
        const TimerId id = FNextTimer++;
        FTimers[id] = Timer{repeat, std::move(call)};
        if (!repeat && interval.count() <= 0) {
            // "At once" (libcurl asks for it often): WM_TIMER would wait 10 ms or more.
            Post([this, id] { RunTimer(id); });
            return id;
        }
        const auto ms = static_cast<UINT>(interval.count() < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : interval.count());
        if (!SetTimer(FWindow, static_cast<UINT_PTR>(id), ms, nullptr)) {
            // Refused (the system's timer table is full): the caller decides what to do.
            FTimers.erase(id);
            return 0;
        }
        return id;
    }

    void StopTimer(TimerId id) override {
        if (FTimers.erase(id)) KillTimer(FWindow, static_cast<UINT_PTR>(id));
    }

    void WatchSocket(SocketHandle socket, int events, SocketCallback callback) override {
        long mask = FD_CLOSE;
        if (events & kReadable) mask |= FD_READ;
        if (events & kWritable) mask |= FD_WRITE | FD_CONNECT;
        FSockets[socket] = Watch{events, std::move(callback)};
        WSAAsyncSelect(static_cast<SOCKET>(socket), FWindow, kSocket, mask);
        // FD_WRITE is reported only on a change; a socket that is writable already
        // would never say so. Look once, on the next turn.
        if (events & kWritable) PostMessageW(FWindow, kCheckWritable, static_cast<WPARAM>(socket), 0);
    }

    void UnwatchSocket(SocketHandle socket) override {
        if (FSockets.erase(socket)) WSAAsyncSelect(static_cast<SOCKET>(socket), FWindow, 0, 0);
    }

    void ProcessMessages() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (MessageFilter() && MessageFilter()(&msg)) continue;
            if (msg.message == WM_QUIT) {
                // The application's end belongs to its main loop: leave it there.
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    void RunOnce(std::chrono::milliseconds maxWait) override {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
            MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(maxWait.count()), QS_ALLINPUT,
                                        MWMO_INPUTAVAILABLE);
        ProcessMessages();
    }

private:
    struct Timer {
        bool repeat;
        Callback call;
    };
    struct Watch {
        int events;
        SocketCallback callback;
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<WinEventLoop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
        switch (message) {
            case kPosted: self->RunPosted(); return 0;
            case WM_TIMER: self->RunTimer(static_cast<TimerId>(wParam)); return 0;
            case kSocket: self->SocketReady(static_cast<SocketHandle>(wParam), WSAGETSELECTEVENT(lParam),
                                            WSAGETSELECTERROR(lParam)); return 0;
            case kCheckWritable: self->CheckWritable(static_cast<SocketHandle>(wParam)); return 0;
            default: return DefWindowProcW(hwnd, message, wParam, lParam);
        }
    }

    void RunPosted() {
        FPostPending = false;
        std::deque<Callback> ready;
        ready.swap(FPosted);
        for (Callback& call : ready) call();
    }

    void RunTimer(TimerId id) {
        auto it = FTimers.find(id);
        if (it == FTimers.end()) return;
        Callback call = it->second.call;
        if (!it->second.repeat) {
            KillTimer(FWindow, static_cast<UINT_PTR>(id));
            FTimers.erase(it);
        }
        call();
    }

    void SocketReady(SocketHandle socket, int event, int error) {
        auto it = FSockets.find(socket);
        if (it == FSockets.end()) return;  // unwatched since the message was queued
        int ready = 0;
        if (event & (FD_READ | FD_CLOSE | FD_ACCEPT)) ready |= kReadable;
        if (event & (FD_WRITE | FD_CONNECT)) ready |= kWritable;
        if (error) ready |= kError;
        ready &= it->second.events | kError;
        if (!ready) return;
        SocketCallback callback = it->second.callback;
        callback(ready);
    }

    void CheckWritable(SocketHandle socket) {
        auto it = FSockets.find(socket);
        if (it == FSockets.end() || !(it->second.events & kWritable)) return;
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(static_cast<SOCKET>(socket), &writable);
        timeval now{0, 0};
        if (select(0, nullptr, &writable, nullptr, &now) == 1) {
            SocketCallback callback = it->second.callback;
            callback(kWritable);
        }
    }

    HWND FWindow = nullptr;
    std::deque<Callback> FPosted;
    bool FPostPending = false;
    std::map<TimerId, Timer> FTimers;
    TimerId FNextTimer = 1;
    std::map<SocketHandle, Watch> FSockets;
};

}  // namespace

std::unique_ptr<EventLoop> MakeEventLoop() { return std::make_unique<WinEventLoop>(); }

void SetPlatformMessageFilter(std::function<bool(void* platformMessage)> filter) {
    MessageFilter() = std::move(filter);
}
