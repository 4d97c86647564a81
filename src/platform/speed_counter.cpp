#include "platform/speed_counter.h"

#include <limits>

#include "platform/trace.h"

namespace platform {

VlmSpeedCounter::VlmSpeedCounter(std::string name) : name_(std::move(name)) {
    timer_.start();
}

VlmSpeedCounter::~VlmSpeedCounter() {
    Trace("TickCounts at %s = %d", name_.c_str(), ElapsedTicks());
}

int VlmSpeedCounter::ElapsedTicks() const {
    const qint64 elapsedMs = timer_.elapsed();
    return elapsedMs > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                       : int(elapsedMs);
}

}  // namespace platform
