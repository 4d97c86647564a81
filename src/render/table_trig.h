#pragma once

namespace render {

// Sine and cosine from a table of whole degrees, single precision, as the compass turns: for
// arguments within ±2π radians the result is that of the nearest whole degree; outside, the
// library functions answer.
float TableSin(float radians);
float TableCos(float radians);

}  // namespace render
