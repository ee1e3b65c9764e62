#pragma once
// Smooth random functions of time (or of a place) for the scene's weather:
// any moment is computed on its own, so frames can be drawn in any order.
#include <cstdint>

namespace platform::synthetic {

// A smooth curve through random knots in [-1, 1] at whole positions
// (Catmull-Rom, so it may overshoot a little); `key` picks the curve.
double smoothNoise(std::uint64_t key, double position);

// 0 below 0, 1 above 1, an S-curve in between.
double smoothStep(double t);

}  // namespace platform::synthetic
