#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

namespace platform {

class EventWaiter;

// An unnamed auto-reset event: Set() makes it signalled until one waiter consumes the signal.
// Setting an event that is already signalled changes nothing.
class AutoResetEvent {
public:
    AutoResetEvent() = default;
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void Set();
    // True (and the event reset) when it was signalled within timeoutMs; -1 waits without end.
    bool Wait(int timeoutMs = -1);
    // Consumes the signal if there is one, without waiting.
    bool TryConsume();

private:
    friend int WaitForAny(AutoResetEvent* const* events, size_t count, int timeoutMs);
    void AddWaiter(EventWaiter* waiter);
    void RemoveWaiter(EventWaiter* waiter);

    std::mutex mutex_;
    bool signalled_ = false;
    std::vector<EventWaiter*> waiters_;
};

inline constexpr int kWaitTimeout = -2;
inline constexpr int kWaitFailed = -1;

// Waits until one of the events is signalled and consumes that one signal. Returns its index
// (the lowest index when several are signalled), kWaitTimeout after timeoutMs (-1: no time-out),
// or kWaitFailed when an event pointer is null or count is 0.
int WaitForAny(AutoResetEvent* const* events, size_t count, int timeoutMs = -1);

}  // namespace platform
