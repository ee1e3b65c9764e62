#include "platform/winsys/canvas.h"

#include <algorithm>

namespace platform {
namespace {

std::uint8_t mix(std::uint8_t over, std::uint8_t under, unsigned coverage) {
    return static_cast<std::uint8_t>((over * coverage + under * (255 - coverage) + 127) / 255);
}

}  // namespace

Canvas::Canvas(int width, int height, Rgb background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bytes_(static_cast<std::size_t>(width_) * height_ * 3) {
    fill(bounds(), background);
}

Rgb Canvas::pixel(int x, int y) const {
    const std::uint8_t* p = row(y) + x * 3;
    return {p[0], p[1], p[2]};
}

void Canvas::set(int x, int y, Rgb colour) {
    std::uint8_t* p = row(y) + x * 3;
    p[0] = colour.red;
    p[1] = colour.green;
    p[2] = colour.blue;
}

void Canvas::fill(const RECT& area, Rgb colour) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) set(x, y, colour);
    }
}

void Canvas::blend(int x, int y, Rgb colour, std::uint8_t coverage) {
    std::uint8_t* p = row(y) + x * 3;
    p[0] = mix(colour.red, p[0], coverage);
    p[1] = mix(colour.green, p[1], coverage);
    p[2] = mix(colour.blue, p[2], coverage);
}

}  // namespace platform
