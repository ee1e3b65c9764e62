#pragma once
// From a grabbed frame to the gray images that the analysis reads, with the
// frame counter, the frame rate and the seconds clock.
#include <array>
#include <cstdint>

namespace pipeline {

// 768 x 576: the largest frame the gray images hold.
constexpr std::int32_t grayCapacity = 442368;
using GrayImage = std::array<std::uint8_t, grayCapacity>;

// One byte per pixel, top row first, columns mirrored left to right.
extern GrayImage grayFrame;
extern GrayImage currentImage;
extern GrayImage referenceImage;

extern std::int32_t pixelCount;
extern std::int32_t frameCount;
extern std::int32_t framesAtLastFps;
extern std::int32_t fps;
extern double now;
extern double lastFpsTime;

// Grabs a frame, converts it to gray into grayFrame and currentImage, counts
// it and updates the frame rate once a second.
void acquireFrame();

// Seconds on a monotonic clock; only differences mean anything.
double secondsNow();

// The gray value of one blue, green, red pixel: blue weighs 2, green 5, red 1.
constexpr std::uint8_t grayOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    return static_cast<std::uint8_t>((2 * blue + 5 * green + red) >> 3);
}

// Writes the gray values of `count` BGR pixels in reverse order into both
// targets: the last pixel first.
void convertReversed(const std::uint8_t* pixels, std::int32_t count, std::uint8_t* gray, std::uint8_t* copy);
// The same, without vector instructions: the reference the fast path is
// checked against, and the path of processors without AVX2.
void convertReversedOnePixelAtATime(const std::uint8_t* pixels, std::int32_t count, std::uint8_t* gray,
                                    std::uint8_t* copy);

// Copies the current image into the reference and writes it to
// referenceimage.pgm.
void refreshReference();
void saveMotionPgm();
void saveReferencePgm();

// Every value of the layer back to its start state (tests).
void resetPipeline();

}  // namespace pipeline
