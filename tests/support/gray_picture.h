#pragma once
// A delivered picture as the scene analysis sees it, worked out here on its
// own: gray = (2 B + 5 G + R) >> 3, mirrored left to right, top row first.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace testing_support {

// Rows top..bottom-1, columns left..right-1 of the gray image.
struct GrayRect {
    int top, bottom, left, right;
};

class GrayPicture {
public:
    // `dib`: width x height BGR24, bottom row first, rows padded to 4 bytes.
    GrayPicture(const std::uint8_t* dib, int width, int height) : width_(width), levels_(width * height) {
        const int rowBytes = (width * 3 + 3) & ~3;
        for (int row = 0; row < height; ++row) {
            const std::uint8_t* line = dib + static_cast<std::size_t>(height - 1 - row) * rowBytes;
            for (int column = 0; column < width; ++column) {
                const std::uint8_t* pixel = line + (width - 1 - column) * 3;
                levels_[row * width + column] = (2 * pixel[0] + 5 * pixel[1] + pixel[2]) >> 3;
            }
        }
    }

    int at(int row, int column) const { return levels_[row * width_ + column]; }

    double mean(GrayRect rect) const {
        long sum = 0;
        for (int row = rect.top; row < rect.bottom; ++row) {
            for (int column = rect.left; column < rect.right; ++column) sum += at(row, column);
        }
        return static_cast<double>(sum) / ((rect.bottom - rect.top) * (rect.right - rect.left));
    }

    int range(GrayRect rect) const {
        int low = 255, high = 0;
        for (int row = rect.top; row < rect.bottom; ++row) {
            for (int column = rect.left; column < rect.right; ++column) {
                low = std::min(low, at(row, column));
                high = std::max(high, at(row, column));
            }
        }
        return high - low;
    }

private:
    int width_;
    std::vector<int> levels_;
};

inline double meanAbsoluteDifference(const GrayPicture& a, const GrayPicture& b, GrayRect rect) {
    long sum = 0;
    for (int row = rect.top; row < rect.bottom; ++row) {
        for (int column = rect.left; column < rect.right; ++column)
            sum += std::abs(a.at(row, column) - b.at(row, column));
    }
    return static_cast<double>(sum) / ((rect.bottom - rect.top) * (rect.right - rect.left));
}

}  // namespace testing_support
