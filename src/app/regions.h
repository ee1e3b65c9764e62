#pragma once
// The fixed rectangles of the gray image that the program watches, as
// (top, bottom, left, right).
#include <array>
#include <cstdint>

#include "analysis/region_measures.h"

namespace app {

using Region = analysis::Rectangle;

constexpr Region detectionWindow{50, 116, 81, 228};
constexpr Region topStrip{1, 44, 50, 152};
constexpr Region blackPassStrip{40, 45, 50, 150};
constexpr std::array<Region, 3> cellBands{{{74, 82, 8, 309}, {84, 92, 8, 309}, {134, 142, 8, 309}}};
constexpr std::array<std::int32_t, 5> cellColumns{8, 83, 158, 233, 309};

// The twelve dark-object cells in the order they are tried: each band's four
// column spans from left to right, the bands from top to bottom.
constexpr std::array<Region, 12> darkObjectCells() {
    std::array<Region, 12> cells{};
    for (std::size_t band = 0; band < cellBands.size(); ++band) {
        for (std::size_t span = 0; span < 4; ++span) {
            cells[band * 4 + span] = {cellBands[band].top, cellBands[band].bottom, cellColumns[span],
                                      cellColumns[span + 1]};
        }
    }
    return cells;
}

}  // namespace app
