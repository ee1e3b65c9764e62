#pragma once
// Draws frame k of the synthetic scene: the road in the light of that moment,
// the vehicles on it and their lamps, the weather, the camera's gain, shake
// and night mode, and its sensor noise. A frame depends on the
// options, the frame rate and k alone, so frames can be drawn in any order.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/sources/recorded_timeline.h"
#include "platform/sources/synthetic/synthetic_night_lights.h"
#include "platform/sources/synthetic/synthetic_options.h"
#include "platform/sources/synthetic/synthetic_rain.h"
#include "platform/sources/synthetic/synthetic_traffic.h"
#include "platform/sources/synthetic/synthetic_walkers.h"

namespace platform::synthetic {

class SceneRenderer {
public:
    SceneRenderer(const SceneOptions& options, FrameRate rate);

    // Draws frame `frame` into `picture` (pictureBytes): pictureWidth x
    // pictureHeight BGR24, top row first.
    void render(std::int64_t frame, std::uint8_t* picture);

private:
    void lightRoad(int light);
    void scheduleAround(double seconds);
    void drawTraffic(double seconds, int light, double lampShare, std::uint8_t* picture);
    void weatherAndCamera(std::int64_t frame, double seconds, std::uint8_t* picture);
    void addSensorNoise(std::int64_t frame, std::uint8_t* picture) const;

    SceneOptions options_;
    FrameRate rate_;
    std::vector<std::uint8_t> road_;
    std::vector<std::int8_t> noise_;
    // The road in the light of the last frame drawn: the light drifts so
    // slowly that most frames reuse it.
    std::vector<std::uint8_t> litRoad_;
    int litRoadLight_ = -1;
    std::vector<Vehicle> vehicles_;
    std::vector<Walker> walkers_;
    std::int64_t vehiclesStretch_ = -1;
    // With the night lights: this stretch's vehicles and the next one's,
    // whose beams come into the picture before they do.
    std::vector<Vehicle> lampVehicles_;
    std::optional<NightLights> nightLights_;
    std::optional<Rain> rain_;
    std::vector<std::uint8_t> still_;
};

}  // namespace platform::synthetic
