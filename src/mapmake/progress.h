#pragma once

#include <functional>

namespace mapmake {

// Told how far the work has come: the phase and the fraction of it done (0 to 1).
using Progress = std::function<void(const char* phase, double fraction)>;

}  // namespace mapmake
