#pragma once
// Shadows of passing clouds, when the scene asks for them. A shadow's soft
// edge sweeps across the picture from left to right in cloudSweepSeconds: a
// place on the road darkens over cloudEdgeSeconds, stays in the shadow for
// the cloud's `seconds`, then brightens again as the trailing edge passes.
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::synthetic {

constexpr double cloudSweepSeconds = 2.0;
constexpr double cloudEdgeSeconds = 1.5;

struct CloudShadow {
    double startSeconds;  // its edge starts darkening the picture's left column
    double seconds;       // 4 to 15: how long each column lies in its shadow
    double depth;         // 0.2 to 0.4: the share of the light it takes away

    // The moment the last column is fully lit again.
    double endSeconds() const { return startSeconds + cloudSweepSeconds + seconds + cloudEdgeSeconds; }
};

// The shadows that darken some of the picture from fromSeconds to toSeconds,
// in order. One starts every 20 to 60 s, the first 30 to 50 s in; no two
// overlap.
std::vector<CloudShadow> cloudShadows(std::uint64_t seed, double fromSeconds, double toSeconds);

// The shadow over some of the picture at `seconds`, if any.
std::optional<CloudShadow> cloudShadowAt(std::uint64_t seed, double seconds);

// The share of the light that reaches picture column `column` at `seconds`
// through `shadow`: 1 outside it, 1 - depth inside.
double cloudShade(const CloudShadow& shadow, double seconds, double column);

}  // namespace platform::synthetic
