#include "platform/sources/synthetic/synthetic_lighting.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

constexpr double driftKnotSeconds = 300.0;
constexpr double driftDepth = 0.025;

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

double driftKnot(std::uint64_t seed, double knot) {
    const auto index = static_cast<std::uint64_t>(knot);
    return (unitInterval(streamKey(seed, Purpose::drift, index)) * 2.0 - 1.0) * driftDepth;
}

double daylight(std::uint64_t seed, double seconds) {
    const double position = std::max(seconds, 0.0) / driftKnotSeconds;
    const double knot = std::floor(position);
    const double t = smooth(position - knot);
    return 1.0 + driftKnot(seed, knot) * (1.0 - t) + driftKnot(seed, knot + 1) * t;
}

// 1 outside the night stretch, nightLight inside it once faded out.
double darkening(const NightStretch& night, double seconds) {
    if (seconds < night.fromSeconds || seconds >= night.toSeconds) return 1.0;
    const double fade = std::min(nightFadeSeconds, (night.toSeconds - night.fromSeconds) / 2.0);
    const double intoNight = std::min(seconds - night.fromSeconds, night.toSeconds - seconds) / fade;
    return 1.0 + (nightLight - 1.0) * smooth(std::min(intoNight, 1.0));
}

}  // namespace

double lightLevel(std::uint64_t seed, const std::optional<NightStretch>& night, double seconds) {
    const double level = daylight(seed, seconds);
    return night ? level * darkening(*night, seconds) : level;
}

}  // namespace platform::synthetic
