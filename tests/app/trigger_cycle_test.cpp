#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/dark_object.h"
#include "analysis/scene_state.h"
#include "app/app_state.h"
#include "app/main_loop.h"
#include "pipeline/frame_pipeline.h"
#include "platform/clock/clock.h"
#include "support/connected_program.h"
#include "support/scratch_directory.h"

namespace {

using testing_support::ConnectedProgramTest;
using testing_support::Frame;

constexpr int width = 320;
constexpr int height = 240;

// A gray image of one level whose black-pass strip (rows 40 to 44, columns
// 51 to 149) has exactly `stripSum` as the sum of its 495 measured pixels.
std::vector<std::uint8_t> sceneWithStripSum(std::uint8_t level, int stripSum) {
    std::vector<std::uint8_t> gray(width * height, level);
    const int base = stripSum / 495;
    int extra = stripSum % 495;
    for (int row = 40; row < 45; ++row) {
        for (int column = 51; column < 150; ++column) {
            gray[row * width + column] = static_cast<std::uint8_t>(base + (extra > 0 ? 1 : 0));
            if (extra > 0) --extra;
        }
    }
    return gray;
}

std::string saveLines(int number) {
    return "\ngrabbing image\nsaving grabbed file [tavo_" + std::to_string(number) +
           ".bmp]\nTime taken [0.000000]\n";
}

class TriggerCycleTest : public ConnectedProgramTest {
protected:
    // The scene the follow-up settles on: the reference is that very frame.
    void prepare(const std::vector<std::uint8_t>& gray, int frames) {
        for (int i = 0; i < frames; ++i) source->add(testing_support::frameFromGray(gray, width, height));
        acquire();
        pipeline::referenceImage = pipeline::currentImage;
        analysis::sceneState = analysis::state::moving;
    }
    testing_support::ScratchDirectory scratch;
};

TEST_F(TriggerCycleTest, SixWaitsWhenTheBlackNeverPasses) {
    prepare(std::vector<std::uint8_t>(width * height, 100), 10);
    analysis::cellBrightness = 20000;
    app::runTriggerCycle();
    std::string waits;
    for (int attempt = 0; attempt < 6; ++attempt) {
        waits += "\n[" + std::to_string(attempt) + "] waitinng for black to pass 10000 ref 20000";
    }
    EXPECT_EQ(takeConsole(), saveLines(0) + " car detected black value 20000 \n" + waits +
                                 "saving reference image as pgm\n\nstabled after counts 0\ncar left\n");
}

TEST_F(TriggerCycleTest, TheFirstAnyMotionTriggerShowsABlackValueOfZero) {
    prepare(std::vector<std::uint8_t>(width * height, 100), 4);
    app::runTriggerCycle();
    EXPECT_EQ(takeConsole(), saveLines(0) +
                                 " car detected black value 0 \n"
                                 "\nblack passed present bright value 10000 reference black 0\n"
                                 "saving reference image as pgm\n\nstabled after counts 0\ncar left\n");
    EXPECT_EQ(analysis::cellBrightness, 2) << "floored at the first follow-up pass";
}

TEST_F(TriggerCycleTest, A124PercentStripIsASecondVehicleAndCarLeftFollowsItsSave) {
    app::triggerOnAnyMotion = 0;
    // 6183 x 100 / 495 = 1249: 124 % of a black value of 1000.
    prepare(sceneWithStripSum(100, 6183), 4);
    analysis::cellBrightness = 1000;
    const std::int64_t before = platform::clock::nowNanoseconds();
    app::runTriggerCycle();
    EXPECT_EQ(takeConsole(),
              saveLines(0) +
                  " car detected black value 1000 \n"
                  "\nblack passed present bright value 1249 reference black 1000\n"
                  "saving reference image as pgm\n\nstabled after counts 0\n"
                  "\n another car detected  bright 1249 blackvalue 1000-------------------------\n" +
                  saveLines(1) + "car left\n");
    EXPECT_EQ(platform::clock::nowNanoseconds(), before) << "no pause after the second save";
}

TEST_F(TriggerCycleTest, A125PercentStripIsNoSecondVehicle) {
    app::triggerOnAnyMotion = 0;
    // 6188 x 100 / 495 = 1250.
    prepare(sceneWithStripSum(100, 6188), 4);
    analysis::cellBrightness = 1000;
    const std::int64_t before = platform::clock::nowNanoseconds();
    app::runTriggerCycle();
    EXPECT_EQ(takeConsole(), saveLines(0) +
                                 " car detected black value 1000 \n"
                                 "\nblack passed present bright value 1250 reference black 1000\n"
                                 "saving reference image as pgm\n\nstabled after counts 0\ncar left\n");
    EXPECT_EQ(platform::clock::nowNanoseconds() - before, 1'000'000'000) << "one follow-up pause";
}

}  // namespace
