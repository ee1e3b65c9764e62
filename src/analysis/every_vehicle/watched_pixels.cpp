#include "analysis/every_vehicle/watched_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace analysis::everyvehicle {

bool containsWindow(const GrayFrame& frame, const Rectangle& window) {
    return window.top >= 0 && window.left >= 0 && window.top < window.bottom && window.left < window.right &&
           window.bottom <= frame.height && window.right <= frame.width;
}

namespace {

// A pixel's brightest channel, and whether it is a red lamp.
inline void measureLamp(const std::uint8_t* bgr, std::uint8_t& brightest, std::uint8_t& red) {
    brightest = std::max({bgr[0], bgr[1], bgr[2]});
    red = bgr[2] >= 2 * std::max(bgr[0], bgr[1]) ? 1 : 0;
}

// One row of the window from the colour picture, which is stored bottom-up
// and mirrored: the row's pixels lie in memory from `bgr` on, right to left,
// and are read in the order they lie.
void measureBrightestRow(const std::uint8_t* __restrict bgr, std::int32_t columns,
                         std::uint8_t* __restrict brightest, std::uint8_t* __restrict red) {
    for (std::int32_t k = 0; k < columns; ++k)
        measureLamp(bgr + 3 * k, brightest[columns - 1 - k], red[columns - 1 - k]);
}

// The same where the shifted window reaches past the frame's border, which
// is repeated.
void measureBrightestRowAtBorder(const GrayFrame& frame, std::int32_t row, std::int32_t firstColumn,
                                 std::int32_t columns, std::uint8_t* brightest, std::uint8_t* red) {
    const std::int64_t last = static_cast<std::int64_t>(frame.width) * frame.height - 1;
    for (std::int32_t c = 0; c < columns; ++c) {
        const std::int32_t column = std::clamp(firstColumn + c, 0, frame.width - 1);
        measureLamp(frame.colour + 3 * (last - (static_cast<std::int64_t>(row) * frame.width + column)),
                    brightest[c], red[c]);
    }
}

void measureBrightest(const GrayFrame& frame, const Rectangle& window, std::int32_t rows,
                      std::int32_t columns, WatchedPixels& pixels) {
    pixels.brightest.clear();
    pixels.red.clear();
    if (frame.colour == nullptr) return;
    const std::int32_t windowColumns = window.right - window.left;
    pixels.red.resize(static_cast<std::size_t>(window.bottom - window.top) * windowColumns);
    pixels.brightest.resize(static_cast<std::size_t>(window.bottom - window.top) * windowColumns);
    const std::int64_t last = static_cast<std::int64_t>(frame.width) * frame.height - 1;
    const std::int32_t firstColumn = window.left + columns;
    const bool inside = firstColumn >= 0 && firstColumn + windowColumns <= frame.width;
    for (std::int32_t r = window.top; r < window.bottom; ++r) {
        const std::int32_t row = std::clamp(r + rows, 0, frame.height - 1);
        const std::size_t offset = static_cast<std::size_t>(r - window.top) * windowColumns;
        std::uint8_t* red = pixels.red.data() + offset;
        std::uint8_t* brightest = pixels.brightest.data() + offset;
        if (inside) {
            const std::int64_t rightmost =
                static_cast<std::int64_t>(row) * frame.width + firstColumn + windowColumns - 1;
            measureBrightestRow(frame.colour + 3 * (last - rightmost), windowColumns, brightest, red);
        } else {
            measureBrightestRowAtBorder(frame, row, firstColumn, windowColumns, brightest, red);
        }
    }
}

}  // namespace

void extractWatchedPixels(const GrayFrame& frame, const Rectangle& window, WatchedPixels& pixels) {
    measureBrightest(frame, window, 0, 0, pixels);
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

namespace analysis::everyvehicle {
namespace {

// Weights in 1/256: a shift is used to 1/256 of a pixel.
constexpr std::int32_t weightOne = 256;

struct SplitShift {
    std::int32_t whole;
    std::int32_t fraction;  // 0 .. weightOne - 1
};

SplitShift split(float shift) {
    const auto scaled = static_cast<std::int32_t>(std::lround(shift * weightOne));
    const std::int32_t whole = scaled >= 0 ? scaled / weightOne : -((-scaled + weightOne - 1) / weightOne);
    return {whole, scaled - whole * weightOne};
}

}  // namespace

// One row of the bilinear blend, from two source rows already moved by the
// whole part of the shift, in lanes the compiler vectorises.
void blendRow(const std::uint8_t* __restrict upper, const std::uint8_t* __restrict lower, std::int32_t width,
              std::uint16_t right, std::uint16_t below, std::uint8_t* __restrict out) {
    const auto left = static_cast<std::uint16_t>(weightOne - right);
    const auto above = static_cast<std::uint16_t>(weightOne - below);
    for (std::int32_t c = 0; c < width; ++c) {
        const auto top = static_cast<std::uint32_t>(upper[c] * left + upper[c + 1] * right);
        const auto bottom = static_cast<std::uint32_t>(lower[c] * left + lower[c + 1] * right);
        out[c] = static_cast<std::uint8_t>((top * above + bottom * below + weightOne * weightOne / 2) /
                                           (weightOne * weightOne));
    }
}

// The same where the shift reaches past the frame's border, which is repeated.
void blendRowAtBorder(const GrayFrame& frame, const std::uint8_t* upper, const std::uint8_t* lower,
                      std::int32_t firstColumn, std::int32_t width, std::int32_t right, std::int32_t below,
                      std::uint8_t* out) {
    for (std::int32_t c = 0; c < width; ++c) {
        const std::int32_t a = std::clamp(firstColumn + c, 0, frame.width - 1);
        const std::int32_t b = std::clamp(firstColumn + c + 1, 0, frame.width - 1);
        const std::int32_t top = upper[a] * (weightOne - right) + upper[b] * right;
        const std::int32_t bottom = lower[a] * (weightOne - right) + lower[b] * right;
        out[c] = static_cast<std::uint8_t>(
            (top * (weightOne - below) + bottom * below + weightOne * weightOne / 2) /
            (weightOne * weightOne));
    }
}

void alignArea(const GrayFrame& frame, const Displacement& shift, const Rectangle& area,
               std::uint8_t* aligned) {
    const SplitShift rows = split(shift.rows);
    const SplitShift columns = split(shift.columns);
    const std::int32_t width = area.right - area.left;
    const std::int32_t firstColumn = area.left + columns.whole;
    const bool inside = firstColumn >= 0 && firstColumn + width < frame.width;
    for (std::int32_t r = area.top; r < area.bottom; ++r) {
        const std::int32_t row = std::clamp(r + rows.whole, 0, frame.height - 1);
        const std::int32_t next = std::clamp(r + rows.whole + 1, 0, frame.height - 1);
        const std::uint8_t* upper = frame.pixels + static_cast<std::ptrdiff_t>(row) * frame.width;
        const std::uint8_t* lower = frame.pixels + static_cast<std::ptrdiff_t>(next) * frame.width;
        std::uint8_t* out = aligned + static_cast<std::ptrdiff_t>(r - area.top) * width;
        if (inside) {
            blendRow(upper + firstColumn, lower + firstColumn, width,
                     static_cast<std::uint16_t>(columns.fraction), static_cast<std::uint16_t>(rows.fraction),
                     out);
        } else {
            blendRowAtBorder(frame, upper, lower, firstColumn, width, columns.fraction, rows.fraction, out);
        }
    }
}

void extractAlignedPixels(const GrayFrame& frame, const Rectangle& window, const Displacement& shift,
                          WatchedPixels& pixels) {
    if (shift.rows == 0 && shift.columns == 0) {
        extractWatchedPixels(frame, window, pixels);
        return;
    }
    pixels.window.resize(static_cast<std::size_t>(window.bottom - window.top) * (window.right - window.left));
    alignArea(frame, shift, window, pixels.window.data());
    const auto rows = static_cast<std::int32_t>(std::lround(shift.rows));
    const auto columns = static_cast<std::int32_t>(std::lround(shift.columns));
    measureBrightest(frame, window, rows, columns, pixels);
    const std::int32_t gridColumns = (frame.width + gridStep - 1) / gridStep;
    const std::int32_t gridRows = (frame.height + gridStep - 1) / gridStep;
    pixels.grid.resize(static_cast<std::size_t>(gridRows) * gridColumns);
    std::uint8_t* grid = pixels.grid.data();
    for (std::int32_t r = 0; r < frame.height; r += gridStep) {
        const std::int32_t row = std::clamp(r + rows, 0, frame.height - 1);
        const std::uint8_t* line = frame.pixels + static_cast<std::ptrdiff_t>(row) * frame.width;
        for (std::int32_t c = 0; c < frame.width; c += gridStep)
            *grid++ = line[std::clamp(c + columns, 0, frame.width - 1)];
    }
}

}  // namespace analysis::everyvehicle
