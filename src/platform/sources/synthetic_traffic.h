#pragma once
// The vehicles of the synthetic scene: when each one arrives, its size and
// shade, and where it is at any moment. The timeline is cut into stretches of
// trafficStretchSeconds, each scheduled from the seed and its own index, so
// any moment can be drawn without going through the moments before it.
#include <cstdint>
#include <vector>

#include "platform/sources/recorded_timeline.h"

namespace platform::synthetic {

enum class VehicleKind { car, estate, van, lorry };
enum class VehicleTone { dark, light };  // body darker or lighter than the road
enum class Lane { left, right };

struct Colour {
    std::uint8_t blue, green, red;
};

struct Vehicle {
    VehicleKind kind;
    VehicleTone tone;
    Colour body;
    Lane lane;
    double arrivalSeconds;  // its front reaches the detection window's top row
    double speed;           // metres per second, toward the camera
    double length, width, height;
    double lateral;  // metres from the road's axis to its middle
};

constexpr double trafficStretchSeconds = 300.0;

// Fills `vehicles` with those of stretch `stretch`, in order of arrival. A
// stretch begins and ends with a quiet time, so none of its vehicles is in
// the picture outside it.
void scheduleStretch(std::uint64_t seed, std::int64_t stretch, std::vector<Vehicle>& vehicles);

std::int64_t stretchOf(double seconds);
double frameSeconds(std::int64_t frame, FrameRate rate);

// Metres from the camera to the vehicle's front at `seconds`; negative once
// the front has passed below the camera.
double frontDepth(const Vehicle& vehicle, double seconds);

// Picture rows, both included; empty when first > last.
struct RowSpan {
    int first;
    int last;
    bool empty() const { return first > last; }
};

// The rows its body (front and roof) covers at `seconds`, within the picture.
RowSpan bodyRows(const Vehicle& vehicle, double seconds);

// Whether its body covers any row of the detection window at `seconds`.
bool inDetectionWindow(const Vehicle& vehicle, double seconds);

// When its body has just cleared the detection window's bottom row.
double departureSeconds(const Vehicle& vehicle);

}  // namespace platform::synthetic
