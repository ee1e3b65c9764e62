#pragma once
// The integer figures that scene analysis judges the picture by, each over a
// rectangle (top, bottom, left, right) of the gray images: rows top .. bottom - 1.
#include <cstdint>

namespace analysis {

// An image rectangle as the measures take it.
struct Rectangle {
    std::int32_t top;
    std::int32_t bottom;
    std::int32_t left;
    std::int32_t right;
};

extern std::int32_t lastBrightness;
extern std::int32_t lastTexture;
// Of the last analysed background strip: darkest and brightest gray level,
// their difference (every motion threshold derives from it) and its texture.
extern std::int32_t backgroundMax;
extern std::int32_t backgroundMin;
extern std::int32_t backgroundRange;
extern std::int32_t backgroundTexture;

// Mean abs(reference - current) x 1000 over columns left .. right - 1, in
// unsigned 32-bit arithmetic.
std::uint32_t measureDifference(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

// Mean gray level x 100 over columns left + 1 .. right - 1; kept in
// lastBrightness.
std::int32_t measureBrightness(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

// 50 x (horizontal neighbour differences of columns left + 1 .. right - 1 plus
// the vertical differences under their left neighbours) / the horizontal
// count; kept in lastTexture.
std::int32_t measureTexture(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

// Darkest, brightest, range and texture of a background strip, with its
// verdicts on the console.
void analyseBackground(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

}  // namespace analysis
