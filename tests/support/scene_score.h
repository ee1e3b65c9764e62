#pragma once
// The every-vehicle analysis watching the built-in road scene, scored
// against the scene's own schedule of vehicles in the detection window:
// which were pictured, and which pictures show none or only vehicles
// pictured before.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sources/synthetic/synthetic_source.h"

namespace testing_support {

struct SceneScore {
    std::vector<platform::VehicleVisit> visits;
    std::vector<std::int64_t> pictures;  // frames
    int pictured = 0;
    int extras = 0;   // pictures with no vehicle in the window
    int repeats = 0;  // pictures of vehicles all pictured before
    std::string missed;
    // Each frame got its own number and each picture was of a frame seen.
    bool numberedInOrder = true;
};

// The schedule's visits are drawn from the body's rows; a picture this many
// frames beside a visit shows the vehicle touching the window.
constexpr std::int64_t visitToleranceFrames = 2;

bool inVisit(const platform::VehicleVisit& visit, std::int64_t frame);
SceneScore scorePictures(std::vector<platform::VehicleVisit> visits,
                         const std::vector<std::int64_t>& pictures);
// Watches frames 0 .. lastFrame of the scene `options` (what follows
// "synthetic") at 25 frames/s as the program would, then ends watching there.
SceneScore watchScene(const std::string& options, std::int64_t lastFrame, bool darkVehiclesOnly = false);

}  // namespace testing_support
