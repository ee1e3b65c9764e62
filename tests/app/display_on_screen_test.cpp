// The full display in a real window on an X server (run through xvfb-run as
// its own ctest entry; skipped without a display).
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "analysis/scene_state.h"
#include "app/app_state.h"
#include "app/display.h"
#include "app/startup.h"
#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/presentation.h"
#include "platform/winsys/window.h"
#include "platform/winsys/window_surface.h"
#include "support/program_fixture.h"
#include "support/x_screen.h"

namespace {

namespace fs = std::filesystem;

class OnScreenDisplay : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display";
        ProgramTest::SetUp();
        platform::presentation::setHeadless(false);
        auto& driver = installScriptedDriver();
        driver.add(testing_support::uniformFrame(120));
        driver.add(testing_support::uniformFrame(200));
        app::registerMainWindowClass();
        app::mainWindow = app::createMainWindow();
        platform::ShowWindow(app::mainWindow, platform::SW_SHOW);
        platform::UpdateWindow(app::mainWindow);
        ASSERT_NE(capture::captureDevice.connect(0), 0);
        pipeline::acquireFrame();
    }
    void TearDown() override {
        if (std::getenv("DISPLAY") == nullptr) return;
        platform::resetWindows();
        platform::presentation::setHeadless(true);
        ProgramTest::TearDown();
    }
};

TEST_F(OnScreenDisplay, TheWindowShowsTheFullDisplayUnderItsTitle) {
    std::snprintf(analysis::statusLine, sizeof analysis::statusLine, "%9ld: no     motion.. diff %6d\n", 42L,
                  7);
    std::snprintf(analysis::statusText, sizeof analysis::statusText, "stable..waiting for motion.....");
    analysis::windowDiff = 3000;
    app::paintDisplay();
    const std::string title = app::mainWindow->title;
    ASSERT_EQ(title.rfind("TAVO(TM) MOTION - Frame 1: FPS:  0", 0), 0u) << title;

    const platform::Canvas& canvas = *platform::windowCanvas(app::mainWindow);
    const fs::path file = fs::temp_directory_path() / ("tavo_display_" + std::to_string(::getpid()) + ".png");
    std::string id;
    testing_support::PngPicture picture;
    ::testing::AssertionResult shown = ::testing::AssertionFailure() << "window never grabbed";
    // The X server shows what SDL sent a moment later.
    for (int attempt = 0; attempt < 30 && !shown; ++attempt) {
        platform::presentation::pumpEvents();
        platform::RedrawWindow(app::mainWindow, nullptr, nullptr, platform::RDW_UPDATENOW);
        if (id.empty()) id = testing_support::xWindowNamed(title);
        if (!id.empty() && testing_support::grabWindow(id, file, picture)) {
            shown = testing_support::screenShowsCanvas(picture, canvas);
        }
        if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    fs::remove(file);
    ASSERT_FALSE(id.empty()) << "no X window carries the title " << title;
    EXPECT_TRUE(shown);
    // The frame, the window outline and the gauge are really there.
    EXPECT_TRUE(canvas.pixel(50, 200) == (platform::Rgb{120, 120, 120}));
    EXPECT_TRUE(canvas.pixel(102, 60) == platform::white);
    EXPECT_TRUE(canvas.pixel(20, 285) == platform::black);
}

TEST_F(OnScreenDisplay, AHiddenWindowGetsNoLivePaintUntilItIsShownAgain) {
    app::unseenPaintsLeftOut = 1;  // no snapshot, no web client
    app::paintDisplay();
    const platform::Canvas& canvas = *platform::windowCanvas(app::mainWindow);
    ASSERT_TRUE(canvas.pixel(50, 200) == (platform::Rgb{120, 120, 120}));

    SDL_Window* shown = SDL_GetWindowFromID(platform::surfaceOf(app::mainWindow)->screen->id());
    ASSERT_NE(shown, nullptr);
    SDL_HideWindow(shown);
    platform::presentation::pumpEvents();
    EXPECT_TRUE(platform::presentation::isOnScreen(app::mainWindow));
    EXPECT_FALSE(platform::presentation::isInSight(app::mainWindow));
    pipeline::acquireFrame();
    app::paintDisplay();
    EXPECT_TRUE(canvas.pixel(50, 200) == (platform::Rgb{120, 120, 120})) << "painted while hidden";
    EXPECT_NE(app::mainWindow->title.find("Frame 2:"), std::string::npos) << "a task bar still shows the title";

    SDL_ShowWindow(shown);
    platform::presentation::pumpEvents();
    EXPECT_TRUE(platform::presentation::isInSight(app::mainWindow));
    app::paintDisplay();
    EXPECT_TRUE(canvas.pixel(50, 200) == (platform::Rgb{200, 200, 200}));
}

}  // namespace
