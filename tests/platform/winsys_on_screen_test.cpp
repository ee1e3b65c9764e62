// Runs under a virtual X server (a ctest entry of its own, through
// xvfb-run): the canvas shown in a real SDL window, read back from X.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock/clock.h"
#include "support/painted_window.h"
#include "support/x_screen.h"

namespace {

using namespace tavo_test;
using namespace testing_support;
namespace fs = std::filesystem;

constexpr int screenWidth = 160;
constexpr int screenHeight = 90;

class OnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
        presentation::setHeadless(false);
        resetWindows();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "OnScreen";
        ASSERT_NE(RegisterClassA(&windowClass), 0);
        window = CreateWindowExA(0, "OnScreen", "tavo on-screen test", WS_OVERLAPPEDWINDOW, 0, 0, screenWidth,
                                 screenHeight, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    void TearDown() override {
        resetWindows();
        presentation::setHeadless(true);
    }

    void drawDistinctively() {
        RECT area{0, 0, screenWidth, screenHeight};
        InvalidateRect(window, &area, 0);
        PAINTSTRUCT paint{};
        HDC context = BeginPaint(window, &paint);
        std::vector<std::uint8_t> bits;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 48; ++x) {
                bits.insert(bits.end(),
                            {std::uint8_t(x * 5), std::uint8_t(y * 8), std::uint8_t(255 - x * 5)});
            }
        }
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 48, -32, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        SetDIBitsToDevice(context, 100, 40, 48, 32, 0, 0, 0, 32, bits.data(), &info, DIB_RGB_COLORS);
        RECT frame{5, 5, 90, 30};
        FrameRect(context, &frame, GetStockObject(BLACK_BRUSH));
        RECT bar{10, 60, 70, 80};
        FillRect(context, &bar, GetStockObject(BLACK_BRUSH));
        RECT box{8, 10, 160, 30};
        DrawTextA(context, "TAVO on screen\nline 2", -1, &box, 0);
        EndPaint(window, &paint);
        RedrawWindow(window, &area, nullptr, RDW_UPDATENOW);
    }

    HWND window = nullptr;
};

TEST_F(OnScreen, ShowsTheCanvasUnderTheWindowTitle) {
    drawDistinctively();
    SetWindowTextA(window, "TAVO(TM) MOTION - on screen");
    const Canvas& canvas = *windowCanvas(window);
    const fs::path file = fs::temp_directory_path() / ("tavo_screen_" + std::to_string(::getpid()) + ".png");
    std::string id;
    testing_support::PngPicture picture;
    ::testing::AssertionResult shown = ::testing::AssertionFailure() << "window never grabbed";
    // The X server shows what SDL sent a moment later; two seconds at most.
    for (int attempt = 0; attempt < 20 && !shown; ++attempt) {
        presentation::pumpEvents();
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
        if (id.empty()) id = xWindowNamed("TAVO(TM) MOTION - on screen");
        if (!id.empty() && grabWindow(id, file, picture)) shown = screenShowsCanvas(picture, canvas);
        if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    fs::remove(file);
    ASSERT_FALSE(id.empty()) << "no X window carries the title";
    EXPECT_TRUE(shown);
    EXPECT_EQ(xWindowNamed("tavo on-screen test"), "") << "the old title is gone";
}

TEST_F(OnScreen, CloseButtonAndKeysBecomeMessages) {
    ASSERT_NE(surfaceOf(window)->screen, nullptr);
    const std::uint32_t screenId = surfaceOf(window)->screen->id();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = screenId;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event = {};
    event.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    event = {};
    event.type = SDL_KEYDOWN;
    event.key.windowID = screenId;
    event.key.keysym.sym = SDLK_q;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    std::vector<MSG> messages;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) messages.push_back(message);
    ASSERT_EQ(messages.size(), 2u) << "one close request for the click, one key";
    EXPECT_EQ(messages[0].hwnd, window);
    EXPECT_EQ(messages[0].message, WM_CLOSE);
    EXPECT_EQ(messages[1].hwnd, window);
    EXPECT_EQ(messages[1].message, WM_KEYDOWN);
    EXPECT_EQ(messages[1].wParam, static_cast<WPARAM>('Q'));
}

// The close button is heard in the middle of a long pause on the real clock,
// which it ends, as it ends every later one; the close request is posted.
TEST_F(OnScreen, TheCloseButtonEndsALongPause) {
    ASSERT_NE(surfaceOf(window)->screen, nullptr);
    platform::clock::resetClock();
    closeOnTerminationSignals();
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    event.window.windowID = surfaceOf(window)->screen->id();
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    const auto started = std::chrono::steady_clock::now();
    platform::clock::sleepMilliseconds(30'000);
    platform::clock::sleepMilliseconds(15'000);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_TRUE(platform::clock::stopRequested());
    MSG message{};
    ASSERT_NE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(message.message, WM_CLOSE);
    platform::clock::watchDuringSleeps(nullptr);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    platform::clock::resetClock();
}

}  // namespace
