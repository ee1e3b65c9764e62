#pragma once
// Draws one vehicle of the synthetic scene as the pole camera sees it: a body
// in bands (bumper, bonnet, windscreen, roof, ...) shaded across its width,
// and its shadow on the road beside it.
#include <cstdint>

#include "platform/sources/synthetic/synthetic_traffic.h"

namespace platform::synthetic {

// Light in 1/lightUnit: the level at which everything is drawn.
constexpr int lightUnit = 4096;

// Both draw into a picture of pictureWidth x pictureHeight BGR24, top row
// first, and only on the rows of bodyRows(vehicle, seconds).
void paintShadow(const Vehicle& vehicle, double seconds, std::uint8_t* picture);
// The lamps shine at lampLight at least (0: lit by the scene like the paint).
void paintVehicle(const Vehicle& vehicle, double seconds, int light, int lampLight, std::uint8_t* picture);

// Where a row of its lamps is seen at `seconds`: the picture row, the
// column of the body's middle and the body's half width there, in pixels.
// The head lamps sit at 0.62 to 0.86 of the half width from the middle;
// the tail lamps wrap round the rear corners, seen from above at the back
// of the roof.
struct LampRow {
    double row;
    double centre;
    double half;
};
LampRow headLampRow(const Vehicle& vehicle, double seconds);
LampRow tailLampRow(const Vehicle& vehicle, double seconds);
constexpr double headLampSide = 0.74;
constexpr double tailLampSide = 0.86;

// Head lamps switched on shine by their own light, however dark the scene;
// daylight stays above it.
constexpr int headlampLight = lightUnit * 9 / 10;

}  // namespace platform::synthetic
