#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

#if defined(__SANITIZE_THREAD__)
#define VELMORA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VELMORA_TSAN 1
#endif
#endif
#if defined(VELMORA_TSAN)
#include <sanitizer/tsan_interface.h>
#endif

namespace platform {

// An object handed from one thread to another through a queue that ThreadSanitizer cannot see
// into (Qt's posted events: the Qt libraries are not built with it, and their locks are plain
// futexes). The sender calls HandOffRelease(object) when it has finished writing the object,
// the receiver HandOffAcquire(object) before it reads it. Nothing outside such a build.
inline void HandOffRelease([[maybe_unused]] const void* object) {
#if defined(VELMORA_TSAN)
    __tsan_release(const_cast<void*>(object));
#endif
}
inline void HandOffAcquire([[maybe_unused]] const void* object) {
#if defined(VELMORA_TSAN)
    __tsan_acquire(const_cast<void*>(object));
#endif
}

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
