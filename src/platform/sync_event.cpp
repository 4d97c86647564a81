#include "platform/sync_event.h"

#include <algorithm>
#include <chrono>

namespace platform {

// One thread's stake in a WaitForAny: every event it waits on wakes it through this.
class EventWaiter {
public:
    void Wake() {
        std::lock_guard lock(mutex_);
        woken_ = true;
        wake_.notify_one();
    }
    // False when the deadline passed without a wake.
    bool Sleep(std::chrono::steady_clock::time_point deadline, bool forever) {
        std::unique_lock lock(mutex_);
        if (forever) {
            wake_.wait(lock, [this] { return woken_; });
        } else if (!wake_.wait_until(lock, deadline, [this] { return woken_; })) {
            return false;
        }
        woken_ = false;
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool woken_ = false;
};

void AutoResetEvent::Set() {
    std::lock_guard lock(mutex_);
    signalled_ = true;
    for (EventWaiter* waiter : waiters_) {
        waiter->Wake();
    }
}

bool AutoResetEvent::Wait(int timeoutMs) {
    AutoResetEvent* self = this;
    return WaitForAny(&self, 1, timeoutMs) == 0;
}

bool AutoResetEvent::TryConsume() {
    std::lock_guard lock(mutex_);
    const bool was = signalled_;
    signalled_ = false;
    return was;
}

void AutoResetEvent::AddWaiter(EventWaiter* waiter) {
    std::lock_guard lock(mutex_);
    waiters_.push_back(waiter);
}

void AutoResetEvent::RemoveWaiter(EventWaiter* waiter) {
    std::lock_guard lock(mutex_);
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), waiter), waiters_.end());
}

int WaitForAny(AutoResetEvent* const* events, size_t count, int timeoutMs) {
    if (events == nullptr || count == 0 ||
        std::any_of(events, events + count, [](AutoResetEvent* e) { return e == nullptr; })) {
        return kWaitFailed;
    }
    const bool forever = timeoutMs < 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    EventWaiter waiter;
    // Registered before the first look, so a Set() between the look and the sleep still wakes us.
    for (size_t i = 0; i < count; ++i) {
        events[i]->AddWaiter(&waiter);
    }
    int result = kWaitTimeout;
    for (;;) {
        for (size_t i = 0; i < count && result == kWaitTimeout; ++i) {
            if (events[i]->TryConsume()) {
                result = int(i);
            }
        }
        if (result != kWaitTimeout || !waiter.Sleep(deadline, forever)) {
            break;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        events[i]->RemoveWaiter(&waiter);
    }
    return result;
}

}  // namespace platform
