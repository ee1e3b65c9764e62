#pragma once
// A vehicle's lamps themselves at night: small spots that saturate the
// sensor, white-yellow in front (a pair) and red at the rear corners, each
// with a bloom of scattered light around it in the lens.
#include <cstdint>

#include "platform/sources/synthetic/synthetic_beams.h"
#include "platform/sources/synthetic/synthetic_traffic.h"

namespace platform::synthetic {

// Draws its lamps into `picture` at `share` (how much they stand out from
// the scene's light, 0 to 1), after its body.
void paintLampGlare(const Vehicle& vehicle, double seconds, const LampLight& lamps, double share,
                    std::uint8_t* picture);

}  // namespace platform::synthetic
