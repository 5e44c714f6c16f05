#include "public/rdcontrol/base/RdTimer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

using namespace std::chrono_literals;

namespace {

// A loop that only records timers; the test fires them. It can refuse the next
// few StartTimer calls the way a system out of timers would.
class TFakeLoop : public EventLoop {
public:
    struct TTimer {
        std::chrono::milliseconds Interval;
        Callback Call;
    };
    std::map<TimerId, TTimer> Timers;
    int Starts = 0, Stops = 0, Refuse = 0;

    TimerId StartTimer(std::chrono::milliseconds interval, bool, Callback call) override {
        ++Starts;
        if (Refuse > 0) {
            --Refuse;
            return 0;
        }
        Timers[FNext] = TTimer{interval, std::move(call)};
        return FNext++;
    }
    void StopTimer(TimerId id) override {
        ++Stops;
        Timers.erase(id);
    }
    void Post(Callback) override {}
    void WatchSocket(SocketHandle, int, SocketCallback) override {}
    void UnwatchSocket(SocketHandle) override {}
    void ProcessMessages() override {}
    void RunOnce(std::chrono::milliseconds) override {}

    // Fires the one running timer as a loop does: the callback is copied first.
    void Fire() {
        ASSERT_EQ(Timers.size(), 1u);
        Callback call = Timers.begin()->second.Call;
        call();
    }

private:
    TimerId FNext = 1;
};

}  // namespace

TEST(RdTimer, WithoutOnTimerNeverAsksForATimer) {
    TFakeLoop loop;
    {
        TRdTimer timer(&loop);
        timer.SetInterval(50);
        timer.SetEnabled(false);
        timer.SetEnabled(true);
        timer.SetInterval(0);
        timer.SetInterval(10);
        timer.SetOnTimer(nullptr);
        EXPECT_FALSE(timer.Armed());
    }
    EXPECT_EQ(loop.Starts, 0);
    EXPECT_EQ(loop.Stops, 0);
}

struct TArmCase {
    const char* Name;
    bool Enabled;
    unsigned Interval;
    bool Assigned;
    bool Armed;
};

class RdTimerArming : public ::testing::TestWithParam<TArmCase> {};

TEST_P(RdTimerArming, RunsOnlyWhenAllThreeAllowIt) {
    const TArmCase& c = GetParam();
    TFakeLoop loop;
    TRdTimer timer(&loop);
    timer.SetEnabled(c.Enabled);
    timer.SetInterval(c.Interval);
    if (c.Assigned) timer.SetOnTimer([](TRdTimer*) {});
    EXPECT_EQ(timer.Armed(), c.Armed);
    EXPECT_EQ(loop.Timers.size(), c.Armed ? 1u : 0u);
    if (c.Armed) {
        EXPECT_EQ(loop.Timers.begin()->second.Interval, std::chrono::milliseconds(c.Interval));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RdTimerArming,
                         ::testing::Values(TArmCase{"All", true, 250, true, true},
                                           TArmCase{"Disabled", false, 250, true, false},
                                           TArmCase{"ZeroInterval", true, 0, true, false},
                                           TArmCase{"NoHandler", true, 250, false, false}),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(RdTimer, RearmsOnlyForChangesThatMatter) {
    TFakeLoop loop;
    TRdTimer timer(&loop);
    EXPECT_EQ(timer.Interval(), 1000u);
    EXPECT_TRUE(timer.Enabled());
    timer.SetOnTimer([](TRdTimer*) {});
    ASSERT_EQ(loop.Starts, 1);
    EXPECT_EQ(loop.Timers.begin()->second.Interval, 1000ms);

    timer.SetInterval(40);  // a new interval: old timer stopped, new one started
    EXPECT_EQ(loop.Starts, 2);
    EXPECT_EQ(loop.Stops, 1);
    ASSERT_EQ(loop.Timers.size(), 1u);
    EXPECT_EQ(loop.Timers.begin()->second.Interval, 40ms);

    timer.SetInterval(40);                // same value
    timer.SetEnabled(true);               // same value
    timer.SetOnTimer([](TRdTimer*) {});   // assigned stays assigned
    EXPECT_EQ(loop.Starts, 2);
    EXPECT_EQ(loop.Stops, 1);

    timer.SetOnTimer(nullptr);
    EXPECT_TRUE(loop.Timers.empty());
    EXPECT_FALSE(timer.Armed());
    timer.SetOnTimer([](TRdTimer*) {});
    EXPECT_TRUE(timer.Armed());
    EXPECT_EQ(loop.Starts, 3);
}

TEST(RdTimer, TickCallsTheCurrentHandlerWithItsSender) {
    TFakeLoop loop;
    TRdTimer timer(&loop);
    timer.SetInterval(10);
    TRdTimer* sender = nullptr;
    int first = 0, second = 0;
    timer.SetOnTimer([&](TRdTimer* s) {
        sender = s;
        ++first;
    });
    loop.Fire();
    timer.SetOnTimer([&](TRdTimer*) { ++second; });
    loop.Fire();
    EXPECT_EQ(sender, &timer);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
}

TEST(RdTimer, MayBeFreedInsideItsOwnHandler) {
    TFakeLoop loop;
    auto timer = std::make_unique<TRdTimer>(&loop);
    timer->SetInterval(10);
    int calls = 0;
    timer->SetOnTimer([&](TRdTimer*) {
        ++calls;
        timer.reset();
    });
    loop.Fire();  // ASan reports any touch of the freed timer after the handler
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(loop.Timers.empty());
    EXPECT_EQ(TRdTimer::RunningCount(), 0);
}

TEST(RdTimer, ATickForAFreedTimerStopsThatLoopTimer) {
    TFakeLoop loop;
    EventLoop::Callback late;
    int calls = 0;
    {
        TRdTimer timer(&loop);
        timer.SetInterval(10);
        timer.SetOnTimer([&](TRdTimer*) { ++calls; });
        late = loop.Timers.begin()->second.Call;  // a tick already on its way
    }
    EXPECT_TRUE(loop.Timers.empty());
    const int stops = loop.Stops;
    late();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(loop.Stops, stops + 1);
}

TEST(RdTimer, RetriesARefusedTimerTwiceThenFails) {
    TFakeLoop loop;
    TRdTimer other(&loop);
    other.SetOnTimer([](TRdTimer*) {});
    ASSERT_EQ(TRdTimer::RunningCount(), 1);

    TRdTimer timer(&loop);
    loop.Refuse = 2;  // the third attempt succeeds
    const int before = loop.Starts;
    timer.SetOnTimer([](TRdTimer*) {});
    EXPECT_EQ(loop.Starts - before, 3);
    EXPECT_TRUE(timer.Armed());
    EXPECT_EQ(TRdTimer::RunningCount(), 2);

    timer.SetEnabled(false);
    loop.Refuse = 3;
    const auto start = std::chrono::steady_clock::now();
    try {
        timer.SetEnabled(true);
        FAIL() << "no error after three refusals";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "timer refused:1");  // `other` is still running
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);  // two waits of 100 ms
    EXPECT_FALSE(timer.Armed());
    EXPECT_EQ(TRdTimer::RunningCount(), 1);
}

TEST(RdTimer, UsesTheDefaultLoopAndNeedsOne) {
    TFakeLoop loop;
    TRdTimer::SetDefaultLoop(nullptr);
    TRdTimer timer;
    timer.SetInterval(10);
    EXPECT_THROW(timer.SetOnTimer([](TRdTimer*) {}), std::logic_error);

    TRdTimer::SetDefaultLoop(&loop);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Armed());
    EXPECT_EQ(loop.Timers.size(), 1u);
    timer.SetEnabled(false);
    TRdTimer::SetDefaultLoop(nullptr);
}

TEST(RdTimer, TicksOnARealPollLoop) {
    const std::unique_ptr<EventLoop> loop = MakeEventLoop();
    TRdTimer timer(loop.get());
    timer.SetInterval(10);
    int ticks = 0;
    timer.SetOnTimer([&](TRdTimer* sender) {
        if (++ticks == 3) sender->SetEnabled(false);
    });
    EXPECT_TRUE(loop->RunUntil([&] { return ticks >= 3; }, 2000ms));
    loop->Sleep(50ms);
    EXPECT_EQ(ticks, 3);  // disabled inside its handler: no tick after that
}
