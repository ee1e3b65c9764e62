#include <gtest/gtest.h>

#include <string>

#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "analysis/scene_step_fixture.h"
#include "pipeline/frame_pipeline.h"

namespace {

using namespace analysis;
using namespace scene_images;

using LearningTest = SceneStepTest;

const std::string slightMotion = "slight motion detected\n";

TEST_F(LearningTest, FirstStepResetsThenLearnsInTheSameStep) {
    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(learnCount, 1);
    EXPECT_EQ(slightCount, 0);
    EXPECT_EQ(slightMinDiff, 9999999);
    EXPECT_EQ(windowDiff, 0);
    EXPECT_EQ(previousWindowDiff, 0);
    EXPECT_EQ(stillTexture, 0);
    EXPECT_EQ(stillDarkLevel, 0) << "a brightness of 10000 is not below 0";
    EXPECT_EQ(backgroundRange, 255);
    EXPECT_EQ(slightMotionThreshold, 1000);
    EXPECT_EQ(pipeline::frameCount, 3);
    EXPECT_STREQ(statusText, "");
    EXPECT_STREQ(statusLine, "");
}

TEST_F(LearningTest, FirstStepOnAFlatSceneReportsItsBackground) {
    const Gray flat(static_cast<std::size_t>(width * height), 100);
    step({flat, flat});
    EXPECT_EQ(takeConsole(),
              "saving reference image as pgm\n"
              "\n***** DARK   BACKGROUND ********\n"
              "\nmax value 100 min value 100 range 0 brightsum [10000] smooth value 0\n"
              "\n***** NO Conrast   BACKGROUND ********\n"
              "\nmax value 100 min value 100 range 0 brightsum [10000] smooth value 0\n");
    EXPECT_EQ(sceneState, state::learning);
}

TEST_F(LearningTest, FirstStepSeesSlightMotionAboveAThousandWhateverTheBackground) {
    // Background range 255 gives a base threshold of 3000, but the reset took
    // its threshold before this step's analysis.
    step({plainScene(), lowered(plainScene(), 19404)});
    EXPECT_EQ(takeConsole(), savingReference + savingReference + slightMotion);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(windowDiff, 2000);
    EXPECT_EQ(learnCount, 0);
    EXPECT_EQ(slightCount, 1);
    EXPECT_EQ(slightMinDiff, 2000);
    EXPECT_EQ(stillDarkLevel, 999999);
    EXPECT_EQ(previousWindowDiff, 2000);
    EXPECT_EQ(slightMotionThreshold, 1000);
    EXPECT_EQ(pipeline::referenceImage[50 * 320 + 81], 98) << "the slight motion's frame is the reference";
    EXPECT_EQ(pipeline::referenceImage[116 * 320 + 81], 100);

    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(learnCount, 1);
    EXPECT_EQ(windowDiff, 0);
    EXPECT_EQ(stillDarkLevel, 10000) << "the dark-reference strip of a quiet frame";
    EXPECT_EQ(previousWindowDiff, 0);

    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::stable);
}

TEST_F(LearningTest, SecondQuietStepGoesStableWithoutMeasuring) {
    step({withStripes(plainScene(), {75}), withStripes(plainScene(), {75})});
    EXPECT_EQ(stillTexture, 51);
    takeConsole();
    step({plainScene(), lowered(plainScene(), 48510)});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(learnCount, 2);
    EXPECT_EQ(slightMinDiff, 999999);
    EXPECT_EQ(stableCount, 0);
    EXPECT_EQ(windowDiff, 0) << "not measured in this step";
    EXPECT_EQ(stillTexture, 51);
    EXPECT_EQ(windowTexture, 0) << "taken from the step's first frame";
    EXPECT_EQ(pipeline::referenceImage[50 * 320 + 81], 100);
    EXPECT_STREQ(statusText, "");
    EXPECT_STREQ(statusLine, "");
}

TEST_F(LearningTest, FastMotionNeedsTheTextureToChangeByMoreThanFifty) {
    // 10601 above the threshold of 10600, texture 51.
    const Gray textured = withStripes(plainScene(), {75});
    step({lowered(textured, 102851), textured});
    EXPECT_EQ(takeConsole(),
              "saving reference image as pgm\n"
              "\nmotion detected while waiting for stable idiff 10601 hight th10600\n");
    EXPECT_EQ(sceneState, state::moving);
    EXPECT_EQ(windowDiff, 10601);
    EXPECT_EQ(previousWindowDiff, 0);
    EXPECT_EQ(learnCount, 1);
    EXPECT_EQ(stillTexture, 0);
}

TEST_F(LearningTest, TextureChangeOfFiftyFallsThroughToSlightMotion) {
    const Gray textured = withStripes(plainScene(), {73});
    step({lowered(textured, 102851), textured});
    EXPECT_EQ(takeConsole(), savingReference + savingReference + slightMotion);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(slightCount, 1);
    EXPECT_EQ(lastTexture, 50);
}

TEST_F(LearningTest, DifferenceEqualToTheLearningThresholdIsNotFastMotion) {
    const Gray textured = withStripes(plainScene(), {75});
    step({lowered(textured, 102850), textured});
    EXPECT_EQ(takeConsole(), savingReference + savingReference + slightMotion);
    EXPECT_EQ(windowDiff, 10600);
    EXPECT_EQ(sceneState, state::learning);
}

TEST_F(LearningTest, SlightMotionNeedsARiseOfMoreThanFifty) {
    step({plainScene(), lowered(plainScene(), 19404)});  // 2000
    takeConsole();
    step({plainScene(), lowered(plainScene(), 19899)});  // 2051
    EXPECT_EQ(takeConsole(), savingReference + savingReference + slightMotion);
    EXPECT_EQ(slightCount, 2);
    EXPECT_EQ(slightMinDiff, 2000);
    step({plainScene(), lowered(plainScene(), 20385)});  // 2101
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(windowDiff, 2101);
    EXPECT_EQ(slightCount, 2);
    EXPECT_EQ(learnCount, 1);
    EXPECT_EQ(previousWindowDiff, 2101);
}

TEST_F(LearningTest, FiveSlightMotionsAdaptTheThresholdTooLateToMatter) {
    const int sums[] = {19404, 24255, 29106, 33957, 38808};  // 2000, 2500 ... 4000
    for (const int sum : sums) {
        step({plainScene(), lowered(plainScene(), sum)});
        ASSERT_EQ(takeConsole(), savingReference + savingReference + slightMotion);
    }
    EXPECT_EQ(slightCount, 5);
    EXPECT_EQ(slightMinDiff, 2000);
    EXPECT_EQ(windowDiff, 4000);

    // The next step only adapts the threshold: a large difference goes unseen.
    step({plainScene(), lowered(plainScene(), 159123)});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(slightMotionThreshold, 2000);
    EXPECT_EQ(slightMinDiff, 9999999);
    EXPECT_EQ(slightCount, 0);
    EXPECT_EQ(learnCount, 1);
    EXPECT_EQ(windowDiff, 4000);
    EXPECT_EQ(previousWindowDiff, 4000);

    step({plainScene(), plainScene()});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_EQ(slightMotionThreshold, 2000);

    step({plainScene()});
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(slightMotionThreshold, 3000) << "every Stable step sets it back";
}

TEST_F(LearningTest, StateThreeIsHandledAsReset) {
    learn(plainScene(), plainScene());
    sceneState = 3;
    slightMotionThreshold = 2000;
    learnCount = 7;
    slightCount = 3;
    stableCount = 40;
    movingCount = 9;
    slightMinDiff = 5;
    // 2500 would be slight motion above 2000; the reset takes the base
    // threshold of the last background range, 3000.
    step({plainScene(), lowered(plainScene(), 24255)});
    EXPECT_EQ(takeConsole(), savingReference);
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_EQ(slightMotionThreshold, 3000);
    EXPECT_EQ(windowDiff, 2500);
    EXPECT_EQ(learnCount, 1);
    EXPECT_EQ(slightCount, 0);
    EXPECT_EQ(stableCount, 0);
    EXPECT_EQ(movingCount, 0);
    EXPECT_EQ(slightMinDiff, 9999999);
}

TEST_F(LearningTest, ResetAndLearningLeaveTheStatusTextsAlone) {
    learn(plainScene(), plainScene());
    step({plainScene()});
    const std::string line = statusLine;
    EXPECT_EQ(line, "        6: no     motion.. diff      0 [  0] MT 4100 sdiff   0 [ 0] std    0\n");
    sceneState = state::reset;
    step({plainScene(), lowered(plainScene(), 24255)});
    EXPECT_EQ(sceneState, state::learning);
    EXPECT_STREQ(statusText, "stable..waiting for motion.....");
    EXPECT_EQ(std::string(statusLine), line);
    step({plainScene(), plainScene()});
    EXPECT_EQ(sceneState, state::stable);
    EXPECT_STREQ(statusText, "stable..waiting for motion.....");
    EXPECT_EQ(std::string(statusLine), line);
}

}  // namespace
