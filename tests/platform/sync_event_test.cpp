#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sync_event.h"

namespace {

using platform::AutoResetEvent;

TEST(SyncEventTest, AutoResetConsumesOneSignal) {
    AutoResetEvent event;
    EXPECT_FALSE(event.Wait(0));
    event.Set();
    event.Set();  // already signalled: still one signal
    EXPECT_TRUE(event.Wait(0));
    EXPECT_FALSE(event.Wait(10));
}

TEST(SyncEventTest, WaitForAnyGivesTheLowestSignalledIndex) {
    AutoResetEvent a, b, c;
    AutoResetEvent* set[] = {&a, &b, &c};
    EXPECT_EQ(platform::WaitForAny(set, 3, 0), platform::kWaitTimeout);
    c.Set();
    b.Set();
    EXPECT_EQ(platform::WaitForAny(set, 3, 0), 1);
    EXPECT_EQ(platform::WaitForAny(set, 3, 0), 2);
    AutoResetEvent* broken[] = {&a, nullptr};
    EXPECT_EQ(platform::WaitForAny(broken, 2, 0), platform::kWaitFailed);
    EXPECT_EQ(platform::WaitForAny(set, 0, 0), platform::kWaitFailed);
}

TEST(SyncEventTest, SignalsFromOtherThreadsWakeAWaiterWithoutLoss) {
    AutoResetEvent work, stop;
    AutoResetEvent* set[] = {&work, &stop};
    std::atomic<int> handled{0};
    std::thread waiter([&] {
        for (;;) {
            const int r = platform::WaitForAny(set, 2, -1);
            if (r != 0)
                break;
            handled.fetch_add(1);
        }
    });
    // Each Set waits until the previous signal was taken, so none may merge with another.
    for (int i = 0; i < 200; ++i) {
        const int before = handled.load();
        work.Set();
        while (handled.load() == before) std::this_thread::yield();
    }
    stop.Set();
    waiter.join();
    EXPECT_EQ(handled.load(), 200);
}

}  // namespace
