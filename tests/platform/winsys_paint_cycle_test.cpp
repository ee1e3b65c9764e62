#include <gtest/gtest.h>

#include "support/painted_window.h"

namespace {

using namespace tavo_test;

TEST_F(PaintedWindow, CanvasHasTheWindowSizeAndStartsWhite) {
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(PaintedWindow, DefaultSizeGivesAnEightHundredByFiveHundredCanvas) {
    HWND other =
        CreateWindowExA(0, "PaintedWindow", "other", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(windowCanvas(other), nullptr);
    EXPECT_EQ(windowCanvas(other)->width(), 800);
    EXPECT_EQ(windowCanvas(other)->height(), 500);
}

TEST_F(PaintedWindow, ChildWindowsHaveNoCanvas) {
    HWND child = CreateWindowExA(0, "PaintedWindow", "child", WS_CHILD, 0, 0, 10, 10, window, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(windowCanvas(child), nullptr);
    PAINTSTRUCT childPaint{};
    EXPECT_EQ(BeginPaint(child, &childPaint), nullptr);
}

TEST_F(PaintedWindow, NewWindowWaitsForItsFirstPaint) {
    HWND other = CreateWindowExA(0, "PaintedWindow", "other", WS_OVERLAPPEDWINDOW, 0, 0, 20, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    paintMessages() = 0;
    UpdateWindow(other);
    EXPECT_EQ(paintMessages(), 1);
    UpdateWindow(other);
    EXPECT_EQ(paintMessages(), 1) << "the first paint validated the window";
}

TEST_F(PaintedWindow, PaintCoversTheBoundsOfEveryInvalidatedRect) {
    RECT first{2, 3, 5, 6};
    RECT second{10, 1, 12, 4};
    InvalidateRect(window, &first, 0);
    InvalidateRect(window, &second, 0);
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(paint.rcPaint.left, 2);
    EXPECT_EQ(paint.rcPaint.top, 1);
    EXPECT_EQ(paint.rcPaint.right, 12);
    EXPECT_EQ(paint.rcPaint.bottom, 6);
    endPaint();
}

TEST_F(PaintedWindow, NullRectInvalidatesTheWholeClientArea) {
    InvalidateRect(window, nullptr, 0);
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(paint.rcPaint.left, 0);
    EXPECT_EQ(paint.rcPaint.top, 0);
    EXPECT_EQ(paint.rcPaint.right, width);
    EXPECT_EQ(paint.rcPaint.bottom, height);
    endPaint();
}

TEST_F(PaintedWindow, InvalidAreaStopsAtTheClientArea) {
    RECT beyond{-10, 40, 500, 500};
    InvalidateRect(window, &beyond, 0);
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(paint.rcPaint.left, 0);
    EXPECT_EQ(paint.rcPaint.top, 40);
    EXPECT_EQ(paint.rcPaint.right, width);
    EXPECT_EQ(paint.rcPaint.bottom, height);
    endPaint();
}

TEST_F(PaintedWindow, BeginPaintValidatesTheWindow) {
    RECT area{1, 1, 4, 4};
    InvalidateRect(window, &area, 0);
    EXPECT_TRUE(presentation::needsPaint(window));
    BeginPaint(window, &paint);
    EXPECT_FALSE(presentation::needsPaint(window));
    endPaint();
}

TEST_F(PaintedWindow, PaintWithoutEraseKeepsWhatWasDrawn) {
    paintWholly(blackBrush());
    beginPaint({4, 4, 10, 10});
    endPaint();
    EXPECT_TRUE(samePixels(Picture(width, height, black), canvas()));
}

TEST_F(PaintedWindow, EraseFillsOnlyThePaintAreaWithTheBackground) {
    paintWholly(blackBrush());
    RECT area{4, 5, 10, 12};
    InvalidateRect(window, &area, 1);
    BeginPaint(window, &paint);
    endPaint();
    Picture expected(width, height, black);
    expected.fill(4, 5, 10, 12, white);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(PaintedWindow, EraseRequestIsRememberedAcrossLaterInvalidations) {
    paintWholly(blackBrush());
    RECT erased{0, 0, 2, 2};
    RECT kept{6, 6, 8, 8};
    InvalidateRect(window, &erased, 1);
    InvalidateRect(window, &kept, 0);
    BeginPaint(window, &paint);
    endPaint();
    Picture expected(width, height, black);
    expected.fill(0, 0, 8, 8, white);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(PaintedWindow, DrawingIsClippedToThePaintArea) {
    HDC context = beginPaint({10, 10, 20, 20});
    RECT crossing{5, 15, 30, 40};
    FillRect(context, &crossing, blackBrush());
    endPaint();
    Picture expected(width, height, white);
    expected.fill(10, 15, 20, 20, black);
    EXPECT_TRUE(samePixels(expected, canvas()));
}

TEST_F(PaintedWindow, NothingIsDrawnOutsideAPaint) {
    HDC context = beginPaint({0, 0, width, height});
    endPaint();
    RECT area{0, 0, 10, 10};
    EXPECT_EQ(FillRect(context, &area, blackBrush()), 0);
    EXPECT_EQ(FrameRect(context, &area, blackBrush()), 0);
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(PaintedWindow, EmptyPaintDrawsNothing) {
    HDC context = BeginPaint(window, &paint);
    ASSERT_NE(context, nullptr);
    RECT area{0, 0, width, height};
    FillRect(context, &area, blackBrush());
    endPaint();
    EXPECT_TRUE(samePixels(Picture(width, height, white), canvas()));
}

TEST_F(PaintedWindow, RedrawWindowPaintsOnlyWhatIsStillInvalid) {
    RECT area{0, 0, 10, 10};
    paintMessages() = 0;
    RedrawWindow(window, &area, nullptr, RDW_UPDATENOW);
    EXPECT_EQ(paintMessages(), 0);
    InvalidateRect(window, &area, 0);
    RedrawWindow(window, &area, nullptr, RDW_UPDATENOW);
    EXPECT_EQ(paintMessages(), 1);
    EXPECT_FALSE(presentation::needsPaint(window));
}

TEST_F(PaintedWindow, DestroyedWindowLosesItsCanvas) {
    DestroyWindow(window);
    EXPECT_EQ(windowCanvas(window), nullptr);
    RECT area{0, 0, 4, 4};
    EXPECT_EQ(InvalidateRect(window, &area, 0), 0);
}

}  // namespace
