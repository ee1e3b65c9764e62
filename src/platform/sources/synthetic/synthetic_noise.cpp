#include "platform/sources/synthetic/synthetic_noise.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

double knotValue(std::uint64_t key, std::int64_t knot) {
    return unitInterval(mix(key + goldenGamma * static_cast<std::uint64_t>(knot))) * 2.0 - 1.0;
}

}  // namespace

double smoothNoise(std::uint64_t key, double position) {
    const double floor = std::floor(position);
    const auto knot = static_cast<std::int64_t>(floor);
    const double t = position - floor;
    const double p0 = knotValue(key, knot - 1);
    const double p1 = knotValue(key, knot);
    const double p2 = knotValue(key, knot + 1);
    const double p3 = knotValue(key, knot + 2);
    return p1 +
           0.5 * t * (p2 - p0 + t * (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3 + t * (3.0 * (p1 - p2) + p3 - p0)));
}

double smoothStep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace platform::synthetic
