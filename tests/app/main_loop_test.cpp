#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/vfw/driver_table.h"
#include "support/connected_program.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::ConnectedProgramTest;

constexpr int width = 320;
constexpr int height = 240;

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A scene of gray level 3 whose top strip (rows 1 to 43, columns 51 to 151)
// sums to `stripSum` over its 4343 measured pixels.
std::vector<std::uint8_t> dimScene(int stripSum) {
    std::vector<std::uint8_t> gray(width * height, 3);
    int missing = 3 * 4343 - stripSum;
    for (int row = 1; row < 44 && missing > 0; ++row) {
        for (int column = 51; column < 152 && missing > 0; ++column, --missing)
            gray[row * width + column] = 2;
    }
    return gray;
}

// Columns alternating 0 and 200: far from a uniform reference, and rich in
// texture.
std::vector<std::uint8_t> stripedScene() {
    std::vector<std::uint8_t> gray(width * height);
    for (int i = 0; i < width * height; ++i) gray[i] = (i % 2 == 0) ? 0 : 200;
    return gray;
}

class MainLoopTest : public ConnectedProgramTest {
protected:
    void addFrames(const std::vector<std::uint8_t>& gray, int count) {
        for (int i = 0; i < count; ++i) source->add(testing_support::frameFromGray(gray, width, height));
    }
    testing_support::ScratchDirectory scratch;
};

TEST_F(MainLoopTest, ATopStripOf299IsTooDarkAndNothingTriggers) {
    // 13028 x 100 / 4343 = 299.
    addFrames(dimScene(13028), 30);
    source->endAfterLastFrame();
    acquire();
    EXPECT_EQ(app::runMainLoop(), 0);
    const std::string trace = takeConsole();
    EXPECT_GE(occurrences(trace, "Too dark 299\n"), 5u);
    EXPECT_EQ(occurrences(trace, "grabbing image"), 0u);
    EXPECT_TRUE(endsWith(trace, "Too dark 299\nwinmain returning\n"));
}

TEST_F(MainLoopTest, ATopStripOf300IsBrightEnough) {
    addFrames(dimScene(13029), 30);
    source->endAfterLastFrame();
    acquire();
    app::runMainLoop();
    const std::string trace = takeConsole();
    EXPECT_EQ(occurrences(trace, "Too dark"), 0u);
    EXPECT_TRUE(endsWith(trace, "winmain returning\n"));
}

TEST_F(MainLoopTest, ACloseRequestDuringTheFollowUpIsTakenOnlyAfterTheCycle) {
    addFrames(std::vector<std::uint8_t>(width * height, 100), 9);
    addFrames(stripedScene(), 40);
    acquire();  // the clock is now 5 s on
    // The first grab after the follow-up's first pause posts the close request.
    platform::setRunLimit(5.5);
    app::runMainLoop();
    const std::string trace = takeConsole();
    EXPECT_EQ(occurrences(trace, "grabbing image"), 1u);
    EXPECT_EQ(occurrences(trace, "\nNot stable"), 1u);
    // The follow-up ran to its own end, then the next turn took the request.
    EXPECT_TRUE(endsWith(trace, "\nresetting... \ncar left\nwinmain returning\n")) << trace;
}

}  // namespace
