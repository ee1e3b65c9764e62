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
void paintVehicle(const Vehicle& vehicle, double seconds, int light, std::uint8_t* picture);

}  // namespace platform::synthetic
