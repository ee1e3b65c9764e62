#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "support/painted_window.h"

namespace {

using namespace tavo_test;

// Without any display the window stays off-screen, says so once on
// standard error, and is still drawn.
class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value == nullptr ? std::optional<std::string>() : value);
            unsetenv(name);
        }
        // X11 only: without a display it cannot start, wherever this runs.
        setenv("SDL_VIDEODRIVER", "x11", 1);
        presentation::setHeadless(false);
        resetWindows();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "NoDisplay";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
    }
    void TearDown() override {
        resetWindows();
        presentation::setHeadless(true);
        for (const auto& [name, value] : saved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            if (!value) unsetenv(name.c_str());
        }
    }

    HWND showWindow(const char* title) {
        HWND window = CreateWindowExA(0, "NoDisplay", title, WS_OVERLAPPEDWINDOW, 0, 0, 30, 20, nullptr,
                                      nullptr, nullptr, nullptr);
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        return window;
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(NoDisplay, SaysSoOnceOnStandardErrorAndKeepsDrawing) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    HWND first = showWindow("first");
    HWND second = showWindow("second");
    PAINTSTRUCT paint{};
    RECT area{0, 0, 30, 20};
    InvalidateRect(first, &area, 0);
    HDC context = BeginPaint(first, &paint);
    FillRect(context, &area, GetStockObject(BLACK_BRUSH));
    EndPaint(first, &paint);
    RedrawWindow(first, &area, nullptr, RDW_UPDATENOW);
    presentation::pumpEvents();
    const std::string error = ::testing::internal::GetCapturedStderr();
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "");
    EXPECT_NE(error.find("off-screen"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), error.size() - 1) << "one line: " << error;
    EXPECT_EQ(windowCanvas(first)->pixel(29, 19), black);
    EXPECT_EQ(surfaceOf(second)->screen, nullptr);
}

}  // namespace
