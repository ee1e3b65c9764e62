#pragma once
// The pixels of a gray frame that the every-vehicle analysis looks at: the
// detection window whole, and a sparse grid over the whole frame that tells
// how the light and the noise of the scene as a whole behave.
#include <cstdint>
#include <vector>

#include "analysis/region_measures.h"

namespace analysis::everyvehicle {

// A gray frame, top row first, `width` bytes a row.
struct GrayFrame {
    const std::uint8_t* pixels;
    std::int32_t width;
    std::int32_t height;
};

// Every gridStep-th row and column of the frame feed the grid.
constexpr std::int32_t gridStep = 8;

struct WatchedPixels {
    std::vector<std::uint8_t> window;  // rows of the window, left to right
    std::vector<std::uint8_t> grid;
};

bool containsWindow(const GrayFrame& frame, const Rectangle& window);

// Copies the window and the grid of `frame`, which contains the window, into
// `pixels`, reusing its storage.
void extractWatchedPixels(const GrayFrame& frame, const Rectangle& window, WatchedPixels& pixels);

}  // namespace analysis::everyvehicle
