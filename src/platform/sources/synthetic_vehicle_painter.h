#pragma once
// Draws one vehicle of the synthetic scene as the pole camera sees it: a body
// in bands (bumper, bonnet, windscreen, roof, ...) shaded across its width,
// and its shadow on the road beside it.
#include <cstdint>

#include "platform/sources/synthetic_traffic.h"

namespace platform::synthetic {

// Light in 1/lightUnit: the level at which everything is drawn.
constexpr int lightUnit = 4096;

// Both draw into a picture of pictureWidth x pictureHeight BGR24, top row
// first, and only on the rows of bodyRows(vehicle, seconds).
void paintShadow(const Vehicle& vehicle, double seconds, std::uint8_t* picture);
// The lamps shine at lampLight at least (0: lit by the scene like the paint).
void paintVehicle(const Vehicle& vehicle, double seconds, int light, int lampLight, std::uint8_t* picture);

// Head lamps switched on shine by their own light, however dark the scene;
// daylight stays above it.
constexpr int headlampLight = lightUnit * 9 / 10;

}  // namespace platform::synthetic
