#pragma once
// Shadows of real clouds, when the scene asks for them: hundreds of metres
// long, with soft ragged edges a metre or more wide, drifting over the road
// with the wind at 4 to 11 m/s and taking 20 to 50 % of the light. They
// darken the picture multiplicatively, so the road keeps its texture.
#include <cstdint>

namespace platform::synthetic {

// The share of the light that reaches the road at `lateral` / `depth`
// metres at `seconds`: 1 in the sun, 0.5 to 0.8 under a cloud.
double softCloudLight(std::uint64_t seed, double seconds, double lateral, double depth);

// Darkens `picture` (pictureBytes) by the shadows at `seconds`.
void shadeSoftClouds(std::uint64_t seed, double seconds, std::uint8_t* picture);

}  // namespace platform::synthetic
