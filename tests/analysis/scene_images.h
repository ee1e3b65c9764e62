#pragma once
// Gray images of a 320 x 240 road scene for driving scene analysis, with the
// detection window (50, 116, 81, 228) changed in ways whose measures are known.
#include <cstdint>
#include <vector>

namespace scene_images {

using Gray = std::vector<std::uint8_t>;

constexpr int width = 320;
constexpr int height = 240;

inline std::uint8_t& pixel(Gray& image, int row, int column) {
    return image[static_cast<std::size_t>(row * width + column)];
}

inline void setPixel(Gray& image, int row, int column, std::uint8_t level) {
    pixel(image, row, column) = level;
}

// Level 100 with one black and one white pixel in the background strips, so
// the background range is 255 (thresholds 3000, 4100, 16400, 10600) and no
// background verdict is printed. The detection window is uniform: texture 0.
inline Gray plainScene() {
    Gray image(static_cast<std::size_t>(width * height), 100);
    setPixel(image, 20, 20, 0);
    setPixel(image, 20, 30, 255);
    return image;
}

// Raises one column of rows 50 .. 116 per height given, at columns 84, 86,
// 88 ...: each adds 132 x height to the texture sum of the window, so its
// texture becomes 6600 x (sum of heights) / 9636.
inline Gray withStripes(Gray image, const std::vector<int>& heights) {
    int column = 84;
    for (const int raise : heights) {
        for (int row = 50; row <= 116; ++row) {
            pixel(image, row, column) = static_cast<std::uint8_t>(pixel(image, row, column) + raise);
        }
        column += 2;
    }
    return image;
}

// Lowers the 9702 pixels that the window difference compares (rows 50 .. 115,
// columns 81 .. 227) by `sum` levels in all, spread evenly in row order, so
// the difference between the result and `image` is sum x 1000 / 9702.
inline Gray lowered(Gray image, int sum) {
    constexpr int pixels = 66 * 147;
    int index = 0;
    for (int row = 50; row < 116; ++row) {
        for (int column = 81; column < 228; ++column, ++index) {
            const int amount = sum / pixels + (index < sum % pixels ? 1 : 0);
            pixel(image, row, column) = static_cast<std::uint8_t>(pixel(image, row, column) - amount);
        }
    }
    return image;
}

}  // namespace scene_images
