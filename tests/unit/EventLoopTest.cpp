#include "net/PollEventLoop.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <string>

using namespace std::chrono_literals;

TEST(PollEventLoop, TimersPostsAndNestedPumping) {
    PollEventLoop loop;
    std::string order;
    loop.StartTimer(30ms, false, [&] { order += "b"; });
    const auto repeating = loop.StartTimer(10ms, true, [&] { order += "r"; });
    loop.StartTimer(5ms, false, [&] {
        order += "a";
        // A handler that waits pumps the loop: the repeating timer goes on meanwhile.
        loop.Sleep(25ms);
        order += "A";
    });
    loop.Post([&] { order += "p"; });
    const auto stopped = loop.StartTimer(20ms, false, [&] { order += "X"; });
    loop.StopTimer(stopped);
    // A post runs on the next turn, whatever timers are due by then (on a loaded
    // machine the 5 ms one may be).
    loop.RunOnce(0ms);
    EXPECT_NE(order.find('p'), std::string::npos);
    loop.RunUntil([&] { return order.find('b') != std::string::npos && order.find('A') != std::string::npos; }, 2s);
    loop.StopTimer(repeating);
    EXPECT_EQ(order.find('X'), std::string::npos);
    EXPECT_LT(order.find('a'), order.find('b'));
    EXPECT_GE(std::count(order.begin(), order.end(), 'r'), 2);
    // Stopped timers stay stopped.
    const size_t runs = order.size();
    loop.Sleep(30ms);
    EXPECT_EQ(order.size(), runs);
}

TEST(PollEventLoop, ReportsSocketReadinessUntilUnwatched) {
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    PollEventLoop loop;
    int readable = 0;
    loop.WatchSocket(static_cast<SocketHandle>(fds[0]), EventLoop::kReadable, [&](int events) {
        if (events & EventLoop::kReadable) {
            char c;
            ASSERT_EQ(read(fds[0], &c, 1), 1);
            ++readable;
        }
    });
    loop.RunOnce(10ms);
    EXPECT_EQ(readable, 0);
    ASSERT_EQ(write(fds[1], "xy", 2), 2);
    EXPECT_TRUE(loop.RunUntil([&] { return readable == 2; }, 1s));
    loop.UnwatchSocket(static_cast<SocketHandle>(fds[0]));
    ASSERT_EQ(write(fds[1], "z", 1), 1);
    loop.RunOnce(20ms);
    EXPECT_EQ(readable, 2);
    close(fds[0]);
    close(fds[1]);
}
