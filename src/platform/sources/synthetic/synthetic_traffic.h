#pragma once
// The vehicles of the synthetic scene: when each one arrives, its size and
// shade, and where it is at any moment. The timeline is cut into stretches of
// trafficStretchSeconds, each scheduled from the seed and its own index, so
// any moment can be drawn without going through the moments before it.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/sources/recorded_timeline.h"
#include "platform/sources/synthetic/synthetic_options.h"

namespace platform::synthetic {

// Motorbikes, bicycles and articulated lorries come only with the survey
// option; people on foot (not drawn as vehicles) only with walkers.
enum class VehicleKind { car, estate, van, lorry, motorbike, bicycle, articulated, walker };
enum class VehicleTone { dark, light };  // body darker or lighter than the road
enum class Lane { left, right };
// Toward the camera, down the picture; away from it, up the picture; or
// across the road to the picture's left or right.
enum class Heading { toward, away, leftward, rightward };

struct Colour {
    std::uint8_t blue, green, red;
};

// A stop in a queue: the vehicle drives at its speed up to the stop, stands
// still, then drives on at the same speed.
struct Halt {
    double frontDepth;  // metres from the camera to its front while it stands
    double fromSeconds;
    double toSeconds;
};

struct Vehicle {
    VehicleKind kind;
    VehicleTone tone;
    Colour body;
    Lane lane;
    // Toward the camera: its front reaches the detection window's top row;
    // away: its roof's front end reaches the window's bottom row.
    double arrivalSeconds;
    double speed;  // metres per second, the way it heads
    double length, width, height;
    double lateral;            // metres from the road's axis to its middle
    std::optional<Halt> halt;  // only toward the camera
    Heading heading;
};

constexpr double trafficStretchSeconds = 300.0;

// Fills `vehicles` with those of stretch `stretch` of the scene `options`, in
// order of arrival. A stretch begins and ends with a quiet time, so none of
// its vehicles is in the picture outside it.
void scheduleStretch(const SceneOptions& options, std::int64_t stretch, std::vector<Vehicle>& vehicles);

std::int64_t stretchOf(double seconds);
double frameSeconds(std::int64_t frame, FrameRate rate);

// Metres from the camera to the detection window's top row on the road.
double entryDepth();

// Metres from the camera to the vehicle's end nearest it at `seconds` (its
// front, or its rear when it drives away); negative while that end is
// below or behind the camera. The drawing and the lamps go by this end.
double frontDepth(const Vehicle& vehicle, double seconds);

// When its nearest end is `depth` metres from the camera; for the depth of
// its halt, the moment it drives on.
double secondsAtFrontDepth(const Vehicle& vehicle, double depth);

// Picture rows, both included; empty when first > last.
struct RowSpan {
    int first;
    int last;
    bool empty() const { return first > last; }
};

// The rows its body (front and roof) covers at `seconds`, within the picture.
RowSpan bodyRows(const Vehicle& vehicle, double seconds);

// Whether its body covers any row of the detection window at `seconds`;
// with the picture moved down by `rowShift` rows (the camera shaking), its
// rows must come within half a row of the window.
bool inDetectionWindow(const Vehicle& vehicle, double seconds, double rowShift = 0.0);

// When its body has just cleared the detection window's bottom row.
double departureSeconds(const Vehicle& vehicle);

}  // namespace platform::synthetic
