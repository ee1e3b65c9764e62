#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/painted_window.h"

namespace {

using namespace tavo_test;

// Glyph shapes differ with the mono face a machine maps "Courier" to, so
// these tests check where text lands and where it stops: lines of blanks
// show the opaque white extent of the text exactly, and ink stays inside it.
class Text : public PaintedWindow {
protected:
    // Draws text in box within a paint of paintArea, on a black canvas.
    void drawOnBlack(const char* text, RECT box, RECT paintArea, int length = -1) {
        paintWholly(blackBrush());
        drawText(text, box, paintArea, length);
    }
    int drawText(const char* text, RECT box, RECT paintArea, int length = -1, HFONT font = nullptr) {
        HDC context = beginPaint(paintArea);
        if (font != nullptr) SelectObject(context, font);
        const int drawn = DrawTextA(context, text, length, &box, 0);
        endPaint();
        return drawn;
    }

    // The bounds of every pixel that is not the given colour.
    RECT boundsOfAllBut(Rgb colour) const {
        RECT bounds{width, height, 0, 0};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (canvas().pixel(x, y) == colour) continue;
                bounds = {std::min<LONG>(bounds.left, x), std::min<LONG>(bounds.top, y),
                          std::max<LONG>(bounds.right, x + 1), std::max<LONG>(bounds.bottom, y + 1)};
            }
        }
        return bounds;
    }

    ::testing::AssertionResult whiteRectOnBlack(RECT r) const {
        Picture expected(width, height, black);
        expected.fill(r.left, r.top, r.right, r.bottom, white);
        return samePixels(expected, canvas());
    }

    // Width of the text extent of four blanks: four advances of the face.
    int fourBlanks() {
        drawOnBlack("    ", {0, 0, width, height}, {0, 0, width, height});
        return boundsOfAllBut(black).right;
    }
};

TEST_F(Text, BlanksFillOneLineHeightFromTheTopLeftOfTheBox) {
    drawOnBlack("    ", {5, 7, width, height}, {0, 0, width, height});
    const RECT extent = boundsOfAllBut(black);
    EXPECT_EQ(extent.left, 5);
    EXPECT_EQ(extent.top, 7);
    EXPECT_EQ(extent.bottom, 17);
    EXPECT_GT(extent.right - extent.left, 4);
    EXPECT_EQ((extent.right - extent.left) % 4, 0) << "four blanks of a mono face";
    EXPECT_TRUE(whiteRectOnBlack(extent));
}

TEST_F(Text, InkIsBlackAndStaysInsideTheLineExtent) {
    const int extentWidth = fourBlanks();
    paintWholly(whiteBrush());
    drawText("MgjW", {5, 7, width, height}, {0, 0, width, height});
    const RECT ink = boundsOfAllBut(white);
    ASSERT_LT(ink.left, ink.right) << "no ink";
    EXPECT_GE(ink.left, 5);
    EXPECT_GE(ink.top, 7);
    EXPECT_LE(ink.right, 5 + extentWidth);
    EXPECT_LE(ink.bottom, 17);
    int darkest = 255;
    for (int y = ink.top; y < ink.bottom; ++y) {
        for (int x = ink.left; x < ink.right; ++x)
            darkest = std::min<int>(darkest, canvas().pixel(x, y).green);
    }
    EXPECT_LT(darkest, 64) << "text is drawn in black";
}

TEST_F(Text, StopsAtTheRightEdgeOfTheBox) {
    drawOnBlack("                    ", {3, 2, 12, 30}, {0, 0, width, height});
    EXPECT_TRUE(whiteRectOnBlack({3, 2, 12, 12}));
}

TEST_F(Text, StopsAtTheEdgeOfThePaint) {
    drawOnBlack("                    \n          ", {3, 2, width, height}, {0, 0, 20, 9});
    EXPECT_TRUE(whiteRectOnBlack({3, 2, 20, 9}));
}

TEST_F(Text, InkStopsAtTheBoxEdge) {
    paintWholly(whiteBrush());
    drawText("MMMMMMMMMMMMMMMMMMMM", {3, 2, 14, 30}, {0, 0, width, height});
    const RECT ink = boundsOfAllBut(white);
    ASSERT_LT(ink.left, ink.right);
    EXPECT_LE(ink.right, 14);
    EXPECT_GE(ink.right, 12) << "the text reaches the edge";
}

TEST_F(Text, LineFeedMovesDownOneLineHeight) {
    drawOnBlack("  \n  ", {4, 3, width, height}, {0, 0, width, height});
    const RECT extent = boundsOfAllBut(black);
    EXPECT_EQ(extent.top, 3);
    EXPECT_EQ(extent.bottom, 23);
    EXPECT_TRUE(whiteRectOnBlack(extent));
}

TEST_F(Text, EveryLineStartsAtTheLeftOfTheBox) {
    paintWholly(whiteBrush());
    drawText("AB\nAB", {4, 3, width, height}, {0, 0, width, height});
    bool inked = false;
    for (int y = 3; y < 13; ++y) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(canvas().pixel(x, y), canvas().pixel(x, y + 10)) << x << "," << y;
            inked = inked || !(canvas().pixel(x, y) == white);
        }
    }
    EXPECT_TRUE(inked);
}

TEST_F(Text, CarriageReturnIsNotDrawn) {
    paintWholly(whiteBrush());
    drawText("A\r\nB", {0, 0, 24, height}, {0, 0, width, height});
    drawText("A\nB", {24, 0, width, height}, {0, 0, width, height});
    bool inked = false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(canvas().pixel(x, y), canvas().pixel(x + 24, y)) << x << "," << y;
            inked = inked || !(canvas().pixel(x, y) == white);
        }
    }
    EXPECT_TRUE(inked);
}

TEST_F(Text, AFortyPixelBoxShowsFourLines) {
    drawOnBlack("  \n  \n  \n  \n  \n  ", {4, 3, width, 43}, {0, 0, width, height});
    const RECT extent = boundsOfAllBut(black);
    EXPECT_EQ(extent.top, 3);
    EXPECT_EQ(extent.bottom, 43);
    EXPECT_TRUE(whiteRectOnBlack(extent));
}

TEST_F(Text, ReturnsTheHeightOfTheLines) {
    EXPECT_EQ(drawText("a\nb\nc", {0, 0, width, height}, {0, 0, width, height}), 30);
    EXPECT_EQ(drawText("a", {0, 0, width, height}, {0, 0, width, height}), 10);
}

TEST_F(Text, LengthLimitsTheCharactersDrawn) {
    const int extentWidth = fourBlanks();
    drawOnBlack("        ", {0, 0, width, height}, {0, 0, width, height}, 4);
    EXPECT_TRUE(whiteRectOnBlack({0, 0, extentWidth, 10}));
}

TEST_F(Text, CourierAtTenIsTheDefaultFont) {
    paintWholly(whiteBrush());
    drawText("Ag", {0, 0, 24, height}, {0, 0, width, height});
    HFONT font = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
    drawText("Ag", {24, 0, width, height}, {0, 0, width, height}, -1, font);
    DeleteObject(font);
    bool inked = false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 24; ++x) {
            ASSERT_EQ(canvas().pixel(x, y), canvas().pixel(x + 24, y)) << x << "," << y;
            inked = inked || !(canvas().pixel(x, y) == white);
        }
    }
    EXPECT_TRUE(inked);
}

TEST_F(Text, LineHeightIsTheFontHeight) {
    paintWholly(blackBrush());
    HFONT font = CreateFontA(20, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
    EXPECT_EQ(drawText("  \n  ", {0, 5, width, height}, {0, 0, width, height}, -1, font), 40);
    DeleteObject(font);
    const RECT extent = boundsOfAllBut(black);
    EXPECT_EQ(extent.top, 5);
    EXPECT_EQ(extent.bottom, 45);
    EXPECT_TRUE(whiteRectOnBlack(extent));
}

TEST_F(Text, SelectObjectHandsBackThePreviousFont) {
    HDC context = beginPaint({0, 0, width, height});
    HFONT font = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
    HGDIOBJ original = SelectObject(context, font);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(SelectObject(context, original), font);
    EXPECT_NE(DeleteObject(font), 0);
    EXPECT_EQ(DeleteObject(font), 0) << "already deleted";
    EXPECT_EQ(SelectObject(context, font), nullptr);
    endPaint();
}

TEST_F(Text, DeletedSelectedFontFallsBackToTheDefault) {
    HFONT font = CreateFontA(20, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
    paintWholly(blackBrush());
    HDC context = beginPaint({0, 0, width, height});
    SelectObject(context, font);
    DeleteObject(font);
    RECT box{0, 0, width, height};
    EXPECT_EQ(DrawTextA(context, "  ", -1, &box, 0), 10);
    endPaint();
    EXPECT_EQ(boundsOfAllBut(black).bottom, 10);
}

TEST_F(Text, EmptyBoxDrawsNothing) {
    drawOnBlack("    ", {10, 10, 10, 30}, {0, 0, width, height});
    EXPECT_TRUE(samePixels(Picture(width, height, black), canvas()));
}

TEST_F(Text, BoxFarOffTheCanvasDrawsNothing) {
    const std::string longLine(5000, 'M');
    drawOnBlack(longLine.c_str(), {2147483000, -2147483000, 2147483647, 2147483647}, {0, 0, width, height});
    drawText(longLine.c_str(), {-2147483647, 0, 2147483647, 2147483647}, {0, 0, width, height});
    EXPECT_TRUE(samePixels(Picture(width, height, black), canvas()));
}

}  // namespace
