#pragma once
// The picture of a window's client area, drawn in memory: 24-bit RGB, rows
// top to bottom, three bytes per pixel with no padding.
#include <cstdint>
#include <vector>

#include "platform/winsys/win32_types.h"

namespace platform {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb white{255, 255, 255};
constexpr Rgb black{0, 0, 0};

class Canvas {
public:
    Canvas(int width, int height, Rgb background);

    int width() const { return width_; }
    int height() const { return height_; }
    RECT bounds() const { return {0, 0, width_, height_}; }

    Rgb pixel(int x, int y) const;
    const std::uint8_t* row(int y) const { return &bytes_[rowOffset(y)]; }
    std::uint8_t* row(int y) { return &bytes_[rowOffset(y)]; }

    // Callers clip: every pixel touched must lie inside bounds().
    void set(int x, int y, Rgb colour);
    void fill(const RECT& area, Rgb colour);
    // Lays colour over the pixel with coverage 0 (none) .. 255 (opaque).
    void blend(int x, int y, Rgb colour, std::uint8_t coverage);

private:
    std::size_t rowOffset(int y) const { return static_cast<std::size_t>(y) * width_ * 3; }

    int width_;
    int height_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace platform
