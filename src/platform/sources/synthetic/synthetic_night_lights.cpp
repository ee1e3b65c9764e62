#include "platform/sources/synthetic/synthetic_night_lights.h"

#include <algorithm>

#include "platform/sources/synthetic/synthetic_beams.h"
#include "platform/sources/synthetic/synthetic_dusk.h"
#include "platform/sources/synthetic/synthetic_lamp_glare.h"
#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_lighting.h"
#include "platform/sources/synthetic/synthetic_vehicle_painter.h"

namespace platform::synthetic {
namespace {

// Vehicles further than this beyond the picture's top row light nothing in it.
constexpr double farthestLitDepth = 90.0;

bool nearPicture(const Vehicle& vehicle, double seconds) {
    const double front = frontDepth(vehicle, seconds);
    return front < farthestLitDepth && front + vehicle.length > -1.0;
}

}  // namespace

double sceneLight(const SceneOptions& options, double seconds) {
    const double level = lightLevel(options.seed, options.night, seconds);
    return options.dusk ? level * duskLight(options.seed, seconds) : level;
}

double lampShare(double sceneLight) { return std::clamp(1.0 - sceneLight, 0.0, 1.0); }

NightLights::NightLights(const SceneOptions& options, const std::uint8_t* road)
    : seed_(options.seed),
      wet_(options.wet || options.rain),
      road_(road),
      streetLamp_(options.seed, options.night) {}

void NightLights::lightRoad(double seconds, double share, std::span<const Vehicle> vehicles,
                            std::uint8_t* picture) const {
    light_.clear();
    const double lamp = streetLamp_.brightness(seconds) * share;
    streetLamp_.lightRoad(lamp, light_);
    bool lit = lamp > 0.0;
    if (share > 0.0) {
        for (const Vehicle& vehicle : vehicles) {
            if (!nearPicture(vehicle, seconds)) continue;
            lightRoadAhead(vehicle, seconds, lampLightOf(seed_, vehicle), share, wet_, light_);
            glowBehind(vehicle, seconds, share, light_);
            lit = true;
        }
    }
    if (lit) light_.addTo(road_, picture);
    if (!wet_ || share <= 0.0) return;
    for (const Vehicle& vehicle : vehicles)
        if (nearPicture(vehicle, seconds))
            reflectLamps(vehicle, seconds, lampLightOf(seed_, vehicle), share, road_, picture);
}

int NightLights::bodyLight(const Vehicle& vehicle, double seconds) const {
    const double pool =
        StreetLamp::poolAt(vehicle.lateral, frontDepth(vehicle, seconds) + vehicle.length / 2);
    // Roofs and bonnets face up and away from the lamp: a faint share reaches the camera.
    return static_cast<int>(0.25 * pool * streetLamp_.brightness(seconds) * lightUnit);
}

void NightLights::paintLamps(const Vehicle& vehicle, double seconds, double share,
                             std::uint8_t* picture) const {
    paintLampGlare(vehicle, seconds, lampLightOf(seed_, vehicle), share, picture);
}

}  // namespace platform::synthetic
