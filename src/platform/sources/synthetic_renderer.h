#pragma once
// Draws frame k of the synthetic scene: the road in the light of that moment,
// the vehicles on it, cloud shadows and the camera's gain, and its sensor
// noise. A frame depends on the
// options, the frame rate and k alone, so frames can be drawn in any order.
#include <cstdint>
#include <vector>

#include "platform/sources/recorded_timeline.h"
#include "platform/sources/synthetic_options.h"
#include "platform/sources/synthetic_traffic.h"

namespace platform::synthetic {

class SceneRenderer {
public:
    SceneRenderer(const SceneOptions& options, FrameRate rate);

    // Draws frame `frame` into `picture` (pictureBytes): pictureWidth x
    // pictureHeight BGR24, top row first.
    void render(std::int64_t frame, std::uint8_t* picture);

private:
    void lightRoad(int light);
    void drawTraffic(double seconds, int light, std::uint8_t* picture);
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
    std::int64_t vehiclesStretch_ = -1;
};

}  // namespace platform::synthetic
