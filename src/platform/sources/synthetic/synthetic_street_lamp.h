#pragma once
// The sodium street lamp on the right verge beside the detection window,
// out of the picture itself: after dark it switches on, flickers once soon
// after and perhaps once more later, warms up over 15 to 45 s and lights a
// broad orange pool of road. It goes off shortly before the night ends.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/sources/synthetic/synthetic_light_map.h"
#include "platform/sources/synthetic/synthetic_lighting.h"

namespace platform::synthetic {

class StreetLamp {
public:
    StreetLamp(std::uint64_t seed, const std::optional<NightStretch>& night);

    // 0 when off, up to 1 once warm.
    double brightness(double seconds) const;

    // The pool's light on the road at `lateral` / `depth` metres: 1 at the
    // lamp's foot, a share of that further away.
    static double poolAt(double lateral, double depth);

    // Adds the pool's light at `brightness` to `light`.
    void lightRoad(double brightness, LightMap& light) const;

private:
    struct Flicker {
        double seconds, length, depth;
    };
    double onSeconds_ = 0;
    double offSeconds_ = 0;
    double warmUpSeconds_ = 0;
    std::vector<Flicker> flickers_;
    // The pool's light at full brightness on each node of a light map.
    std::vector<float> pool_;
};

}  // namespace platform::synthetic
