#pragma once
// How much light falls on the synthetic scene: daylight that drifts slowly by
// a few percent, and an optional night stretch.
#include <cstdint>
#include <optional>

namespace platform::synthetic {

// Seconds of the timeline that are night. The light fades out over the first
// nightFadeSeconds and comes back over the last ones (each fade at most half
// the stretch).
struct NightStretch {
    double fromSeconds;
    double toSeconds;
};

constexpr double nightFadeSeconds = 10.0;
constexpr double nightLight = 0.01;

// Light level `seconds` into the timeline; 1 is the light the road was
// painted in. The drift changes by well under a tenth of a gray level per
// second, slower than the scene analysis re-learns the empty road.
double lightLevel(std::uint64_t seed, const std::optional<NightStretch>& night, double seconds);

}  // namespace platform::synthetic
