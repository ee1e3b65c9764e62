#pragma once
// The light a vehicle's lamps throw on the road at night: the low beams
// ahead of it, long and widening, brightest 5 to 15 m ahead and reaching
// into the detection window seconds before the vehicle does; on a wet road
// the head lamps' glittering reflections; and the red glow of the tail lamps
// on the road behind it. All of it moves with the vehicle.
#include <cstdint>

#include "platform/sources/synthetic/synthetic_light_map.h"
#include "platform/sources/synthetic/synthetic_traffic.h"

namespace platform::synthetic {

// One vehicle's lamps: the colour of its head lamps (halogen warm white to
// LED blue-white, each channel up to 1) and how strongly its beams light the
// road, as a share of daylight (0.38 to 0.8).
struct LampLight {
    double blue, green, red;
    double beam;
};

LampLight lampLightOf(std::uint64_t seed, const Vehicle& vehicle);

// Metres ahead of its front within which its beams light the road to at
// least a quarter of their brightest.
double beamReachMetres();

// Adds its beams' light to `light`, times `share` (how much the lamps stand
// out from the scene's light, 0 to 1). On a wet road less of it is
// scattered back.
void lightRoadAhead(const Vehicle& vehicle, double seconds, const LampLight& lamps, double share, bool wet,
                    LightMap& light);

// The head lamps' reflections on a wet road: streaks toward the camera from
// below each lamp, broken up by the road's texture.
void reflectLamps(const Vehicle& vehicle, double seconds, const LampLight& lamps, double share,
                  const std::uint8_t* road, std::uint8_t* picture);

// The tail lamps' red glow on the road just behind it.
void glowBehind(const Vehicle& vehicle, double seconds, double share, LightMap& light);

// Whether its beams light some of the detection window's road at `seconds`,
// the picture moved down by `rowShift` rows.
bool beamInDetectionWindow(const Vehicle& vehicle, double seconds, double rowShift = 0.0);

}  // namespace platform::synthetic
