#include <gtest/gtest.h>

#include "support/painted_window.h"

namespace {

using namespace tavo_test;

class Shapes : public PaintedWindow {
protected:
    void SetUp() override {
        PaintedWindow::SetUp();
        context = beginPaint({0, 0, width, height});
    }
    void TearDown() override {
        endPaint();
        PaintedWindow::TearDown();
    }

    HDC context = nullptr;
};

TEST_F(Shapes, FillCoversLeftAndTopButNotRightAndBottom) {
    RECT area{3, 5, 7, 8};
    EXPECT_NE(FillRect(context, &area, blackBrush()), 0);
    Picture expected(width, height, white);
    for (int y = 5; y <= 7; ++y) {
        for (int x = 3; x <= 6; ++x) expected.set(x, y, black);
    }
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Shapes, WhiteFillOverBlack) {
    RECT all{0, 0, width, height};
    FillRect(context, &all, blackBrush());
    RECT area{1, 2, 3, 4};
    FillRect(context, &area, whiteBrush());
    Picture expected(width, height, black);
    expected.fill(1, 2, 3, 4, white);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Shapes, EmptyFillsDrawNothing) {
    for (RECT empty : {RECT{5, 5, 5, 10}, RECT{5, 5, 10, 5}, RECT{10, 5, 5, 10}, RECT{5, 10, 10, 5}}) {
        FillRect(context, &empty, blackBrush());
    }
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(Shapes, FrameIsOnePixelInsideTheRect) {
    RECT area{2, 3, 9, 7};
    EXPECT_NE(FrameRect(context, &area, blackBrush()), 0);
    Picture expected(width, height, white);
    for (int x = 2; x <= 8; ++x) {
        expected.set(x, 3, black);
        expected.set(x, 6, black);
    }
    for (int y = 3; y <= 6; ++y) {
        expected.set(2, y, black);
        expected.set(8, y, black);
    }
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Shapes, FrameOfOneColumnIsThatColumn) {
    RECT column{4, 2, 5, 6};
    FrameRect(context, &column, blackBrush());
    Picture expected(width, height, white);
    expected.fill(4, 2, 5, 6, black);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Shapes, EmptyFramesDrawNothing) {
    for (RECT empty : {RECT{5, 5, 5, 10}, RECT{5, 5, 10, 5}, RECT{10, 10, 5, 5}}) {
        FrameRect(context, &empty, blackBrush());
    }
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(Shapes, FrameCrossingTheCanvasEdgeKeepsItsVisibleSides) {
    RECT area{-5, -5, 10, 12};
    FrameRect(context, &area, blackBrush());
    Picture expected(width, height, white);
    expected.fill(9, 0, 10, 12, black);
    expected.fill(0, 11, 10, 12, black);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Shapes, FrameClippedByThePaintArea) {
    endPaint();
    context = beginPaint({0, 0, 6, height});
    RECT area{2, 2, 10, 5};
    FrameRect(context, &area, blackBrush());
    Picture expected(width, height, white);
    expected.fill(2, 2, 6, 3, black);
    expected.fill(2, 4, 6, 5, black);
    expected.fill(2, 2, 3, 5, black);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(Shapes, OnlyStockBrushesDraw) {
    EXPECT_EQ(GetStockObject(1), nullptr);
    RECT area{0, 0, 4, 4};
    EXPECT_EQ(FillRect(context, &area, nullptr), 0);
    HFONT font = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
    EXPECT_EQ(FillRect(context, &area, font), 0);
    DeleteObject(font);
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(Shapes, StockObjectsSurviveDeletion) {
    EXPECT_NE(DeleteObject(blackBrush()), 0);
    RECT area{0, 0, 2, 2};
    EXPECT_NE(FillRect(context, &area, blackBrush()), 0);
    EXPECT_EQ(canvas().pixel(1, 1), black);
}

}  // namespace
