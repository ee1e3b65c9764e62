#pragma once
// The empty road in full daylight, painted once per seed: what every frame of
// the synthetic scene starts from.
#include <cstdint>

namespace platform::synthetic {

// Paints pictureWidth x pictureHeight BGR24 pixels into `picture`
// (pictureBytes), top row first.
void paintRoad(std::uint64_t seed, std::uint8_t* picture);

}  // namespace platform::synthetic
