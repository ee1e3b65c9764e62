#pragma once
// The detection window cut into small cells: vehicles are followed cell by
// cell, which is fine enough for a vehicle and cheap enough for every frame.
#include <cstdint>
#include <vector>

namespace analysis::everyvehicle {

struct CellGrid {
    static constexpr std::int32_t cellHeight = 6;
    static constexpr std::int32_t cellWidth = 7;
    static constexpr std::int32_t cellPixels = cellHeight * cellWidth;

    std::int32_t rows = 0;     // of cells
    std::int32_t columns = 0;  // of cells

    // Cells of a window of windowRows x windowColumns pixels; pixels past the
    // last whole cell belong to none.
    static CellGrid of(std::int32_t windowRows, std::int32_t windowColumns) {
        return {windowRows / cellHeight, windowColumns / cellWidth};
    }
    std::int32_t count() const { return rows * columns; }
    bool onBorder(std::int32_t row, std::int32_t column) const {
        return row == 0 || column == 0 || row == rows - 1 || column == columns - 1;
    }
};

// A value per cell, row by row.
template <typename Value>
using CellValues = std::vector<Value>;

// Per cell: how many pixels are foreground, how many of those are dark, and
// how many are lamps; 1 where the cell is sharp (see CellChange).
struct CellCounts {
    CellValues<std::uint16_t> foreground;
    CellValues<std::uint16_t> dark;
    CellValues<std::uint16_t> lamps;
    CellValues<std::uint16_t> redLamps;
    CellValues<std::uint16_t> sharp;
};

struct CellChange {
    // The empty scene's texture is still there under other light: a cloud's
    // shadow, a beam on the road. Only a cell with texture can tell.
    bool relit = false;
    // More than a change of light explains: an edge of a vehicle, a lamp.
    // A soft shadow on plain road is not sharp; a vehicle's outline is.
    bool sharp = false;
};

}  // namespace analysis::everyvehicle
