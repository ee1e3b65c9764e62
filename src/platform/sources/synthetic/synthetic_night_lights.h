#pragma once
// The scene's lamps at night, when it asks for them: the street lamp's pool,
// and on each vehicle head lamps with their beams on the road ahead, tail
// lamps with their glow behind, and on a wet road the lamps' reflections.
// The lamps stand out as the scene's own light fades.
#include <cstdint>
#include <span>

#include "platform/sources/synthetic/synthetic_light_map.h"
#include "platform/sources/synthetic/synthetic_options.h"
#include "platform/sources/synthetic/synthetic_street_lamp.h"
#include "platform/sources/synthetic/synthetic_traffic.h"

namespace platform::synthetic {

// The light the scene is drawn in at `seconds`: daylight, night and dusk
// together, 1 as the road was painted.
double sceneLight(const SceneOptions& options, double seconds);

// How much lamps stand out from the scene's light: 0 in daylight, 1 at night.
double lampShare(double sceneLight);

class NightLights {
public:
    // `road` is the road as painted in full light; it must outlive this.
    NightLights(const SceneOptions& options, const std::uint8_t* road);

    // Adds the lamps' light on the road, before the vehicles are drawn:
    // `vehicles` are all that may be near, in or out of the picture.
    void lightRoad(double seconds, double share, std::span<const Vehicle> vehicles,
                   std::uint8_t* picture) const;

    // The street lamp's light on the vehicle's body, in 1/lightUnit.
    int bodyLight(const Vehicle& vehicle, double seconds) const;

    // Draws the vehicle's lamps over its body.
    void paintLamps(const Vehicle& vehicle, double seconds, double share, std::uint8_t* picture) const;

private:
    std::uint64_t seed_;
    bool wet_;
    const std::uint8_t* road_;
    StreetLamp streetLamp_;
    mutable LightMap light_;
};

}  // namespace platform::synthetic
