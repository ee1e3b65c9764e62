#pragma once
// What the every-vehicle analysis saw of one vehicle on its way through the
// detection window: its outline frame by frame, from the frame it came in to
// the frame it left. Whatever measures a vehicle (its direction, speed and
// size) reads it from here once the vehicle has left.
#include <cstdint>
#include <vector>

namespace analysis::everyvehicle {

// A vehicle's outline in one frame, in pixels of the gray image (the frame
// mirrored left to right, top row first): columns left .. right - 1, rows
// top .. bottom - 1 of the whole frame. An edge that lies on the detection
// window's edge is cut there: the vehicle may reach further.
struct VehicleOutline {
    std::int64_t frame = 0;
    double seconds = 0;
    std::int32_t top = 0, bottom = 0, left = 0, right = 0;
    std::int32_t pixels = 0;      // of the outline that differ from the empty scene
    std::int32_t lampPixels = 0;  // of its cells that are a lamp's
    bool cutTop = false, cutBottom = false, cutLeft = false, cutRight = false;
};

struct VehiclePassage {
    std::int32_t vehicle = 0;  // the analysis's own number, unique in one run
    // The frame of the picture that shows it, as PictureDecision::frame; -1
    // when it was not pictured (too small, or watching ended first).
    std::int64_t pictureFrame = -1;
    // At most one outline a frame, in order. A long stay keeps its first
    // outlines and then every second one, then every fourth, ..., so a
    // queue standing for minutes does not grow without end.
    std::vector<VehicleOutline> outlines;
    std::int32_t outlineStep = 1;  // frames between the outlines kept last
};

}  // namespace analysis::everyvehicle
