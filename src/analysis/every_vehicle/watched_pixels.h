#pragma once
// The pixels of a gray frame that the every-vehicle analysis looks at: the
// detection window whole, and a sparse grid over the whole frame that tells
// how the light and the noise of the scene as a whole behave.
#include <cstdint>
#include <vector>

#include "analysis/region_measures.h"

namespace analysis::everyvehicle {

// A gray frame, top row first, `width` bytes a row; with the colour frame
// it was made from when there is one: BGR, bottom row first and not
// mirrored, so gray pixel i is colour pixel width * height - 1 - i.
struct GrayFrame {
    const std::uint8_t* pixels;
    std::int32_t width;
    std::int32_t height;
    const std::uint8_t* colour = nullptr;
};

// frame(row + rows, column + columns) shows what the empty scene shows at
// (row, column): how far the camera has swayed.
struct Displacement {
    float rows = 0;
    float columns = 0;
};

// Every gridStep-th row and column of the frame feed the grid.
constexpr std::int32_t gridStep = 8;

struct WatchedPixels {
    std::vector<std::uint8_t> window;  // rows of the window, left to right
    std::vector<std::uint8_t> grid;
    // Per window pixel, its brightest colour channel: lamps are told by it.
    // Empty without the colour frame.
    std::vector<std::uint8_t> brightest;
    // Per window pixel, 1 where red outshines green and blue twice: a tail lamp.
    std::vector<std::uint8_t> red;
};

bool containsWindow(const GrayFrame& frame, const Rectangle& window);

// Copies the window and the grid of `frame`, which contains the window, into
// `pixels`, reusing its storage.
void extractWatchedPixels(const GrayFrame& frame, const Rectangle& window, WatchedPixels& pixels);
// The same, lined up with the empty scene: the window resampled bilinearly,
// the grid to the nearest pixel; the frame's border repeated where the shift
// reaches past it.
void extractAlignedPixels(const GrayFrame& frame, const Rectangle& window, const Displacement& shift,
                          WatchedPixels& pixels);
// The pixels of `area` of `frame`, lined up, row by row into `aligned`.
void alignArea(const GrayFrame& frame, const Displacement& shift, const Rectangle& area,
               std::uint8_t* aligned);

}  // namespace analysis::everyvehicle
