#pragma once

#include <QElapsedTimer>

#include <string>

namespace platform {

// Times one named operation for the trace: started when made, it traces
// "TickCounts at <name> = <ticks>" when it goes out of scope, so every way out of the operation
// is reported. A tick is a millisecond, as the handheld's tick counter counts.
class VlmSpeedCounter {
public:
    explicit VlmSpeedCounter(std::string name);
    ~VlmSpeedCounter();
    VlmSpeedCounter(const VlmSpeedCounter&) = delete;
    VlmSpeedCounter& operator=(const VlmSpeedCounter&) = delete;

    // Milliseconds since the counter was made.
    int ElapsedTicks() const;

private:
    std::string name_;
    QElapsedTimer timer_;
};

}  // namespace platform
