#pragma once
// People on foot in the synthetic scene (the walkers option): now and then
// one crosses the road through the detection window, or walks along it in a
// lane through the window (toward the camera or away), in a gap of the
// traffic so no vehicle shares the window with them, at a walking pace.
#include <cstdint>
#include <vector>

#include "platform/sources/synthetic/synthetic_options.h"
#include "platform/sources/synthetic/synthetic_traffic.h"

namespace platform::synthetic {

struct Walker {
    double startSeconds;  // steps onto the road, or into the stretch it walks along
    double walkSeconds;   // how long it walks there
    // Where it starts: metres across from the road's axis and from the camera.
    double fromLateral, fromDepth;
    // Metres per second across (positive toward the picture's right) and
    // along (positive away from the camera); one of them is zero.
    double lateralSpeed, depthSpeed;
    double width, thickness, height;
    Colour coat;
};

// Fills `walkers` with those of stretch `stretch`, in order, none of them
// on the road while one of `vehicles` (the stretch's) is in the window.
void scheduleWalkers(const SceneOptions& options, std::int64_t stretch, const std::vector<Vehicle>& vehicles,
                     std::vector<Walker>& walkers);

double walkerLateral(const Walker& walker, double seconds);
double walkerDepth(const Walker& walker, double seconds);
double walkerSpeed(const Walker& walker);  // metres per second
// When it has crossed the road or walked its stretch.
double walkerOffRoad(const Walker& walker);

// Draws it into a picture of pictureWidth x pictureHeight BGR24 while it is
// on the road, at `light` (1/lightUnit).
void paintWalker(const Walker& walker, double seconds, int light, std::uint8_t* picture);

}  // namespace platform::synthetic
