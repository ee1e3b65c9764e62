#pragma once
// The aiming picture's marks: the detection window and the dark-object
// cells outlined on a frame, where the program looks at them.
#include <vector>

#include "app/aim/filter_geometry.h"
#include "platform/files/jpeg_encoder.h"
#include "platform/winsys/canvas.h"

namespace app::aim {

constexpr platform::Rgb windowColour{255, 0, 0};
constexpr platform::Rgb cellColour{255, 255, 0};

// The watched regions of the 320 x 240 picture, on the frame as shown: the
// gray image the program measures is the frame mirrored left to right.
Box detectionWindowBox();

// `rows` copied onto a canvas of their size.
platform::Canvas canvasOf(const platform::PixelRows& rows);

void outline(platform::Canvas& canvas, const Box& box, platform::Rgb colour, int thickness);
std::vector<Box> cellBoxes();

// Outlines every cell and then the window, each 320 x 240 box mapped by
// `place` onto the canvas, with lines `thickness` pixels wide.
template <typename Place>
void drawRegions(platform::Canvas& canvas, Place place, int thickness) {
    for (const Box& cell : cellBoxes()) outline(canvas, place(cell), cellColour, thickness);
    outline(canvas, place(detectionWindowBox()), windowColour, thickness);
}

}  // namespace app::aim
