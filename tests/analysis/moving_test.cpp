#include <gtest/gtest.h>

#include <string>

#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "analysis/scene_step_fixture.h"
#include "pipeline/frame_pipeline.h"

namespace {

using namespace analysis;
using namespace scene_images;

// Moving compares plain frames (texture 0) with a reference lowered by a
// difference of 16401; the base threshold is 3000.
class MovingTest : public SceneStepTest {
protected:
    // Learns a still scene whose texture the stripes give, then a plain frame
    // makes the difference strong enough for Moving.
    void enterMoving(const std::vector<int>& stripes) {
        learn(withStripes(plainScene(), stripes), lowered(plainScene(), 159123));
        step({plainScene()});
        ASSERT_EQ(sceneState, state::moving);
        takeConsole();
    }
};

const std::string notStable = "\nNot stable abs diff percent [546]    0/ 11  contrast percent [-110] ";

TEST_F(MovingTest, TextureChangeOfTenSettlesAndRefreshesTheReference) {
    enterMoving({15});  // still texture 10
    EXPECT_EQ(stillTexture, 10);
    step({plainScene()});
    EXPECT_EQ(takeConsole(), savingReference + "\nstabled after counts 0\n");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_STREQ(statusText, "still moving, waiting for stable ");
    EXPECT_EQ(pipeline::referenceImage[50 * 320 + 81], 100);
    EXPECT_EQ(windowDiff, 16401) << "Moving does not update it";
}

TEST_F(MovingTest, TextureChangeAboveTenWithADifferenceKeepsMoving) {
    enterMoving({17});  // still texture 11
    pipeline::fps = 5;
    step({plainScene()});
    EXPECT_EQ(takeConsole(), notStable);
    EXPECT_EQ(sceneState, state::moving);
    EXPECT_EQ(movingCount, 1);
    EXPECT_STREQ(statusText, "still moving, waiting for stable ");
    EXPECT_EQ(pipeline::referenceImage[50 * 320 + 81], 83) << "the reference stays";
}

TEST_F(MovingTest, DifferenceOfTheBaseThresholdSettlesWhateverTheTexture) {
    enterMoving({17});
    pipeline::fps = 5;
    step({plainScene()});
    step({plainScene()});
    takeConsole();
    // 159123 - 130017 = 29106: a difference of exactly 3000.
    step({lowered(plainScene(), 130017)});
    EXPECT_EQ(takeConsole(), savingReference + "\nstabled after counts 2\n");
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(movingCount, 2) << "kept until Moving is entered again";
}

TEST_F(MovingTest, WithoutAFrameRateTheSecondUnsettledStepResets) {
    enterMoving({17});
    EXPECT_EQ(pipeline::fps, 0);
    step({plainScene()});
    EXPECT_EQ(takeConsole(), notStable);

    // The reset strip (10, 130, 10, 180) reaches below the learning strip.
    Gray resetFrame(static_cast<std::size_t>(width * height), 100);
    setPixel(resetFrame, 120, 170, 0);
    setPixel(resetFrame, 125, 175, 200);
    step({plainScene(), resetFrame});
    EXPECT_EQ(takeConsole(), "\nresetting... \n");
    EXPECT_EQ(sceneState, state::reset);
    EXPECT_EQ(movingCount, 0);
    EXPECT_EQ(backgroundRange, 200);

    // The reset's threshold comes from that range: 200 x 2000 / 255 + 1000.
    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(slightMotionThreshold, 2568);
    EXPECT_EQ(backgroundRange, 255);
}

TEST_F(MovingTest, TwiceTheFrameRateOfUnsettledStepsDoesNotYetTimeOut) {
    enterMoving({17});
    pipeline::fps = 2;
    for (int i = 1; i <= 5; ++i) {
        step({plainScene()});
        ASSERT_EQ(takeConsole(), notStable) << "step " << i;
        ASSERT_EQ(movingCount, i);
    }
    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), "\nresetting... \n");
    EXPECT_EQ(sceneState, state::reset);
    EXPECT_EQ(movingCount, 0);
    EXPECT_EQ(pipeline::fps, 2);
}

TEST_F(MovingTest, EnteringMovingAgainStartsTheCountFromZero) {
    enterMoving({17});
    pipeline::fps = 5;
    step({plainScene()});
    step({lowered(plainScene(), 159123)});  // settles: the reference is this frame
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(movingCount, 1);
    step({plainScene()});
    EXPECT_EQ(sceneState, state::moving);
    EXPECT_EQ(movingCount, 0);
}

}  // namespace
