#pragma once
#include <cstdio>
// A captioned top-level window kept off-screen, for tests of what the
// drawing calls leave on its canvas.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/winsys/canvas.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/presentation.h"
#include "platform/winsys/window.h"
#include "platform/winsys/window_surface.h"

namespace tavo_test {

using namespace platform;

// The picture a test expects, built by hand pixel by pixel.
class Picture {
public:
    Picture(int width, int height, Rgb background)
        : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, background) {}

    void set(int x, int y, Rgb colour) { pixels_[static_cast<std::size_t>(y) * width_ + x] = colour; }
    void fill(int left, int top, int right, int bottom, Rgb colour) {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) set(x, y, colour);
        }
    }
    Rgb at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

inline std::string describe(Rgb c) {
    char text[16];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", c.red, c.green, c.blue);
    return text;
}

// Every pixel equal, or the first that is not.
inline ::testing::AssertionResult samePixels(const Picture& expected, const Canvas& canvas) {
    if (expected.width() != canvas.width() || expected.height() != canvas.height()) {
        return ::testing::AssertionFailure() << "canvas is " << canvas.width() << "x" << canvas.height();
    }
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (!(expected.at(x, y) == canvas.pixel(x, y))) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") is " << describe(canvas.pixel(x, y))
                       << ", expected " << describe(expected.at(x, y));
            }
        }
    }
    return ::testing::AssertionSuccess();
}

inline LRESULT countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class PaintedWindow : public ::testing::Test {
protected:
    static constexpr int width = 48;
    static constexpr int height = 64;

    void SetUp() override {
        presentation::setHeadless(true);
        resetWindows();
        paintMessages() = 0;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = countingProcedure;
        windowClass.lpszClassName = "PaintedWindow";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window = CreateWindowExA(0, "PaintedWindow", "painted", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                                 nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(windowCanvas(window), nullptr);
        UpdateWindow(window);
    }
    void TearDown() override { resetWindows(); }

    // Opens a paint on area, without erasing.
    HDC beginPaint(RECT area) {
        InvalidateRect(window, &area, 0);
        return BeginPaint(window, &paint);
    }
    void endPaint() { EndPaint(window, &paint); }

    void paintWholly(HBRUSH brush) {
        HDC context = beginPaint({0, 0, width, height});
        RECT all{0, 0, width, height};
        FillRect(context, &all, brush);
        endPaint();
    }

    const Canvas& canvas() const { return *windowCanvas(window); }

    static HBRUSH whiteBrush() { return GetStockObject(WHITE_BRUSH); }
    static HBRUSH blackBrush() { return GetStockObject(BLACK_BRUSH); }

public:
    static int& paintMessages() {
        static int count = 0;
        return count;
    }

protected:
    HWND window = nullptr;
    PAINTSTRUCT paint{};
};

inline LRESULT countingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++PaintedWindow::paintMessages();
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tavo_test
