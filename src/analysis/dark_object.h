#pragma once
// Tells a dark object, a car, from other motion, one small cell of the image at
// a time.
#include <cstdint>

namespace analysis {

// Mean gray level x 100 of the current image over the cell last tested.
extern std::int32_t cellBrightness;
// Extremes over every cell tested since the main loop last reset them.
extern std::int32_t cellBrightnessMin;
extern std::int32_t cellBrightnessMax;
extern std::int32_t cellTextureMin;
extern std::int32_t cellTextureMax;

// True when the cell (top, bottom, left, right) shows a dark object: darker
// than in the reference, a changed window texture, or as dark as the
// background's darkest. Prints what it saw only when true.
bool testDarkObject(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

}  // namespace analysis
