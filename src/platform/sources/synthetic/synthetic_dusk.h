#pragma once
// Dusk and dawn in fast motion, when the scene asks for it: every 80 to 120
// s the light starts to fall to 42 to 60 % of what it was, or to come back,
// over 30 to 55 s, as when a storm front or a hill's shadow passes.
#include <cstdint>

namespace platform::synthetic {

// The share of the light left at `seconds`: 1 at the start, then in turn
// falling to a fraction and coming back.
double duskLight(std::uint64_t seed, double seconds);

}  // namespace platform::synthetic
