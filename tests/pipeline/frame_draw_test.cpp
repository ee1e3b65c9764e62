#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "pipeline/frame_image.h"
#include "support/painted_window.h"

namespace {

using namespace tavo_test;

class FrameDraw : public PaintedWindow {
protected:
    // A 4 x 2 frame of mid gray, its header giving `headerHeight` rows.
    void drawFrame(std::int32_t headerHeight) {
        BITMAPINFOHEADER header{};
        header.biSize = 40;
        header.biWidth = 4;
        header.biHeight = headerHeight;
        header.biPlanes = 1;
        header.biBitCount = 24;
        dib.assign(40 + 12 * 2, 128);
        std::memcpy(dib.data(), &header, sizeof header);
        const pipeline::FrameImage frame{4, 2, dib.data() + 40, dib.data()};
        HDC context = beginPaint({0, 0, width, height});
        frame.draw(context, 0, 0);
        endPaint();
    }

    std::vector<std::uint8_t> dib;
};

TEST_F(FrameDraw, TheFrameItDescribesIsDrawnEitherWayUp) {
    for (const std::int32_t headerHeight : {2, -2}) {
        paintWholly(whiteBrush());
        drawFrame(headerHeight);
        EXPECT_EQ(canvas().pixel(3, 1), (Rgb{128, 128, 128})) << headerHeight;
        EXPECT_EQ(canvas().pixel(4, 1), white) << headerHeight;
    }
}

// Found by fuzzing: negating the most negative height overflowed.
TEST_F(FrameDraw, AHeaderWithTheMostNegativeHeightIsNotDrawn) {
    paintWholly(whiteBrush());
    drawFrame(INT_MIN);
    EXPECT_EQ(canvas().pixel(0, 0), white);
    EXPECT_EQ(canvas().pixel(3, 1), white);
}

}  // namespace
