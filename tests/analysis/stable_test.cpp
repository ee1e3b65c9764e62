#include <gtest/gtest.h>

#include <string>

#include "analysis/scene_state.h"
#include "analysis/scene_step_fixture.h"
#include "pipeline/frame_pipeline.h"
#include "support/allocation_counter.h"

namespace {

using namespace analysis;
using namespace scene_images;

// Background range 255 throughout: MT 4100, base 3000, strong motion 16400.
// Stable compares a plain frame (texture 0) with a lowered reference, so the
// texture change is the still texture that the stripes give.
using StableTest = SceneStepTest;

const std::string banner = "\nTAVO(TM) motion detection by the tavomotion project\n";
const std::string makerLine = "motion detection by the tavomotion project\n";

TEST_F(StableTest, QuietStepWritesTheNoMotionLine) {
    learn(plainScene(), plainScene());
    slightMotionThreshold = 1234;
    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(stableCount, 1);
    EXPECT_EQ(slightMotionThreshold, 3000);
    EXPECT_STREQ(statusText, "stable..waiting for motion.....");
    EXPECT_STREQ(statusLine,
                 "        6: no     motion.. diff      0 [  0] MT 4100 sdiff   0 [ 0] std    0\n");
}

TEST_F(StableTest, DifferenceEqualToTheMotionThresholdIsNoMotion) {
    learn(withStripes(plainScene(), {73, 73, 73, 73, 73, 73}), lowered(plainScene(), 39779));
    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(windowDiff, 4100);
    EXPECT_STREQ(statusLine,
                 "        6: no     motion.. diff   4100 [100] MT 4100 sdiff 300 [10] std  300\n");
}

TEST_F(StableTest, OneAboveTheThresholdWithTextureChangeOfTwoFiftyIsOnlySlight) {
    learn(withStripes(plainScene(), {73, 73, 73, 73, 73}), lowered(plainScene(), 39788));
    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(std::string(statusLine),
              "        6: slight motion.. diff   4101 [100] MT 4100 sdiff 250 [ 8] std  250\n" + makerLine);
}

TEST_F(StableTest, OneAboveTheThresholdWithTextureChangeOfTwoFiftyOneIsMoving) {
    learn(withStripes(plainScene(), {73, 73, 73, 73, 73, 2}), lowered(plainScene(), 39788));
    step({plainScene()});
    EXPECT_EQ(takeConsole(), banner + "diff [  4101] percent [100]  MT 4100 sdiff [  251]\n");
    EXPECT_EQ(sceneState, state::moving);
    EXPECT_EQ(movingCount, 0);
    EXPECT_STREQ(statusText, "stable..waiting for motion.....");
    EXPECT_STREQ(statusLine, "");
}

TEST_F(StableTest, FourTimesTheThresholdIsStillNotStrongMotion) {
    learn(plainScene(), lowered(plainScene(), 159113));
    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_STREQ(statusLine,
                 "        6: no     motion.. diff  16400 [400] MT 4100 sdiff   0 [ 0] std    0\n");
}

TEST_F(StableTest, AboveFourTimesTheThresholdIsMovingWhateverTheTexture) {
    const Gray reference = lowered(plainScene(), 159123);
    learn(plainScene(), reference);
    step({reference});  // texture 12, no difference
    const std::string quietLine =
        "        6: no     motion.. diff      0 [  0] MT 4100 sdiff  12 [ 0] std    0\n";
    EXPECT_EQ(std::string(statusLine), quietLine);
    step({plainScene()});
    EXPECT_EQ(takeConsole(), banner + "diff [ 16401] percent [400]  MT 4100 sdiff [    0]\n");
    EXPECT_EQ(sceneState, state::moving);
    EXPECT_EQ(windowDiff, 16401);
    EXPECT_EQ(stableCount, 2);
    EXPECT_EQ(std::string(statusLine), quietLine) << "the line of the previous Stable step stays";
}

TEST_F(StableTest, SlightMotionNeedsATextureChangeAboveThirtyFive) {
    learn(withStripes(plainScene(), {53}), lowered(plainScene(), 48510));
    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(std::string(statusLine),
              "        6: slight motion.. diff   5000 [121] MT 4100 sdiff  36 [ 1] std   36\n" + makerLine);

    stillTexture = 35;
    step({plainScene()});
    EXPECT_STREQ(statusLine,
                 "        7: no     motion.. diff   5000 [121] MT 4100 sdiff  35 [ 1] std   35\n");
}

TEST_F(StableTest, RelearnsOnTheFirstQuietStepAfterAThousandStableSteps) {
    learn(withStripes(plainScene(), {59}), plainScene());  // still texture 40
    step({plainScene()});
    // The camera repeats its last frame.
    const int grabs = source->grabs();
    for (int i = 1; i < 1000; ++i) stepSceneState(windowTop, windowBottom, windowLeft, windowRight);
    EXPECT_EQ(source->grabs() - grabs, 999);
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(stableCount, 1000);

    // Difference 5000, texture 3: a change of 37.
    step({lowered(plainScene(), 48510)});
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(stableCount, 1001);
    EXPECT_EQ(std::string(statusLine),
              "     1006: slight motion.. diff   5000 [121] MT 4100 sdiff  37 [ 1] std   40\n" + makerLine);

    slightCount = 4;
    learnCount = 6;
    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(stableCount, 0);
    EXPECT_EQ(slightCount, 0);
    EXPECT_EQ(learnCount, 0);
    EXPECT_STREQ(statusLine,
                 "     1007: no     motion.. diff      0 [  0] MT 4100 sdiff  40 [ 1] std   40\n");

    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(stillTexture, 0);
    step({plainScene(), plainScene()});
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_STREQ(statusLine,
                 "     1007: no     motion.. diff      0 [  0] MT 4100 sdiff  40 [ 1] std   40\n");
}

TEST_F(StableTest, StableStepDoesNotAllocate) {
    learn(plainScene(), plainScene());
    step({plainScene()});
    const std::size_t before = testing_support::allocationsSoFar();
    stepSceneState(windowTop, windowBottom, windowLeft, windowRight);
    EXPECT_EQ(testing_support::allocationsSoFar(), before);
    EXPECT_EQ(stableCount, 2);
}

}  // namespace
