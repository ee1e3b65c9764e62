#include "app/aim/aim_drawing.h"

#include <algorithm>
#include <cmath>

#include "app/regions.h"

namespace app::aim {
namespace {

constexpr int viewWidth = 320;

Box shownBox(const Region& region) {
    return {static_cast<double>(viewWidth - region.right), static_cast<double>(region.top),
            static_cast<double>(viewWidth - region.left), static_cast<double>(region.bottom)};
}

void fillClipped(platform::Canvas& canvas, int left, int top, int right, int bottom, platform::Rgb colour) {
    const platform::RECT area{std::max(left, 0), std::max(top, 0), std::min(right, canvas.width()),
                              std::min(bottom, canvas.height())};
    if (area.left < area.right && area.top < area.bottom) canvas.fill(area, colour);
}

}  // namespace

Box detectionWindowBox() { return shownBox(detectionWindow); }

std::vector<Box> cellBoxes() {
    std::vector<Box> boxes;
    for (const Region& cell : darkObjectCells()) boxes.push_back(shownBox(cell));
    return boxes;
}

platform::Canvas canvasOf(const platform::PixelRows& rows) {
    platform::Canvas canvas(rows.width, rows.height, platform::black);
    for (int y = 0; y < rows.height; ++y) {
        const std::uint8_t* from = rows.first + static_cast<long>(y) * rows.stride;
        std::uint8_t* to = canvas.row(y);
        for (int x = 0; x < rows.width; ++x) {
            to[x * 3] = from[x * 3 + (rows.bgr ? 2 : 0)];
            to[x * 3 + 1] = from[x * 3 + 1];
            to[x * 3 + 2] = from[x * 3 + (rows.bgr ? 0 : 2)];
        }
    }
    return canvas;
}

// As a window frames a rectangle: the lines lie inside it.
void outline(platform::Canvas& canvas, const Box& box, platform::Rgb colour, int thickness) {
    const int left = static_cast<int>(std::lround(box.left));
    const int top = static_cast<int>(std::lround(box.top));
    const int right = static_cast<int>(std::lround(box.right));
    const int bottom = static_cast<int>(std::lround(box.bottom));
    fillClipped(canvas, left, top, right, top + thickness, colour);
    fillClipped(canvas, left, bottom - thickness, right, bottom, colour);
    fillClipped(canvas, left, top, left + thickness, bottom, colour);
    fillClipped(canvas, right - thickness, top, right, bottom, colour);
}

}  // namespace app::aim
