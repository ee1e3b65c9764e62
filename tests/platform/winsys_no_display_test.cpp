#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "support/painted_window.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace tavo_test;

// Without any display the window stays off-screen, says so once on
// standard error, and is still drawn; no library adds its own complaint.
class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        // Nothing names a display, wherever this runs.
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET", "XDG_RUNTIME_DIR", "SDL_VIDEODRIVER"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value == nullptr ? std::optional<std::string>() : value);
            unsetenv(name);
        }
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
    EXPECT_EQ(error.rfind("tavomotion: no display (", 0), 0u) << error;
    EXPECT_NE(error.find("off-screen"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), error.size() - 1) << "one line: " << error;
    EXPECT_EQ(windowCanvas(first)->pixel(29, 19), black);
    EXPECT_EQ(surfaceOf(second)->screen, nullptr);
}

// The program itself, without --headless, as on a server: standard error
// carries its own line about the display and nothing else.
TEST_F(NoDisplay, TheProgramSaysSoInItsOwnWordsOnly) {
    testing_support::ScratchDirectory scratch;
    const auto run = testing_support::runProgram({"0", "--source", "synthetic:7", "--fast", "--run-for", "2"},
                                                 scratch.path());
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError,
              "tavomotion: no display (neither DISPLAY nor a Wayland socket is set): the window stays "
              "off-screen\n");
    const std::string last = "winmain returning\n";
    EXPECT_EQ(run.standardOutput.substr(run.standardOutput.size() -
                                        std::min(run.standardOutput.size(), last.size())),
              last);
}

}  // namespace
