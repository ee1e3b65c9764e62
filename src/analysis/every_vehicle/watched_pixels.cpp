#include "analysis/every_vehicle/watched_pixels.h"

#include <cstring>

namespace analysis::everyvehicle {

bool containsWindow(const GrayFrame& frame, const Rectangle& window) {
    return window.top >= 0 && window.left >= 0 && window.top < window.bottom && window.left < window.right &&
           window.bottom <= frame.height && window.right <= frame.width;
}

void extractWatchedPixels(const GrayFrame& frame, const Rectangle& window, WatchedPixels& pixels) {
    const std::int32_t rows = window.bottom - window.top;
    const std::int32_t columns = window.right - window.left;
    pixels.window.resize(static_cast<std::size_t>(rows) * columns);
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::uint8_t* source = frame.pixels + static_cast<std::ptrdiff_t>(window.top + r) * frame.width;
        std::memcpy(pixels.window.data() + static_cast<std::size_t>(r) * columns, source + window.left,
                    static_cast<std::size_t>(columns));
    }
    const std::int32_t gridColumns = (frame.width + gridStep - 1) / gridStep;
    const std::int32_t gridRows = (frame.height + gridStep - 1) / gridStep;
    pixels.grid.resize(static_cast<std::size_t>(gridRows) * gridColumns);
    std::uint8_t* grid = pixels.grid.data();
    for (std::int32_t r = 0; r < frame.height; r += gridStep) {
        const std::uint8_t* row = frame.pixels + static_cast<std::ptrdiff_t>(r) * frame.width;
        for (std::int32_t c = 0; c < frame.width; c += gridStep) *grid++ = row[c];
    }
}

}  // namespace analysis::everyvehicle
