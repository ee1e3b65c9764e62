#pragma once
// The last grabbed frame, as a DIB inside the capture device's buffer.
#include <cstdint>

#include "platform/winsys/win32_types.h"

namespace pipeline {

struct FrameImage {
    std::int32_t width;
    std::int32_t height;
    std::uint8_t* pixels;
    std::uint8_t* dib;

    // Grabs one frame through the capture device and takes its size and first
    // pixel from the DIB header.
    void update();
    // Takes width, height and the first pixel from the header at `dib`; a
    // frame the pipeline cannot convert leaves the previous description.
    void readDibHeader();
    // Shows the whole frame, in the DIB's own orientation, at (x, y).
    void draw(platform::HDC dc, int x, int y) const;
};

extern FrameImage frameImage;

}  // namespace pipeline
