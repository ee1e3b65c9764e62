#include "app/display.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "app/app_state.h"
#include "pipeline/frame_pipeline.h"
#include "platform/winsys/window.h"
#include "platform/winsys/window_surface.h"
#include "support/connected_program.h"

namespace {

using platform::Rgb;
using testing_support::ConnectedProgramTest;

constexpr Rgb whitePixel{255, 255, 255};
constexpr Rgb blackPixel{0, 0, 0};

Rgb grayPixel(std::uint8_t level) { return {level, level, level}; }

class DisplayTest : public ConnectedProgramTest {
protected:
    void SetUp() override {
        ConnectedProgramTest::SetUp();
        source->add(testing_support::uniformFrame(100));
        source->add(testing_support::uniformFrame(50));
        acquire();
    }
    Rgb at(int x, int y) const { return platform::windowCanvas(app::mainWindow)->pixel(x, y); }
    // The first x from `from` on row y whose pixel is not `colour`.
    int firstOther(int from, int y, Rgb colour) const {
        int x = from;
        while (x < 800 && at(x, y) == colour) ++x;
        return x;
    }
};

TEST(Gauge, RightEdgeFollowsTheDifferenceAgainstFourMotionThresholds) {
    EXPECT_EQ(app::gaugeRightEdge(0, 0), 10);
    EXPECT_EQ(app::gaugeRightEdge(2000, 0), 90);
    EXPECT_EQ(app::gaugeRightEdge(8000, 0), 330);
    EXPECT_EQ(app::gaugeRightEdge(50000, 0), 330);
    EXPECT_EQ(app::gaugeRightEdge(4100, 255), 90);
    EXPECT_EQ(app::gaugeRightEdge(16400, 255), 330);
    EXPECT_EQ(app::gaugeRightEdge(8000, 255), 166);
}

TEST(Outlines, RegionsAreOutlinedWhereTheyLieOnTheMirroredFrame) {
    const platform::RECT window = app::outlineOf(50, 116, 81, 228, 320);
    EXPECT_EQ(window.left, 102);
    EXPECT_EQ(window.top, 60);
    EXPECT_EQ(window.right, 249);
    EXPECT_EQ(window.bottom, 126);
    const platform::RECT band = app::outlineOf(134, 142, 8, 309, 320);
    EXPECT_EQ(band.left, 21);
    EXPECT_EQ(band.right, 322);
}

TEST_F(DisplayTest, TheGaugeBarEndsWhereTheLevelSays) {
    analysis::windowDiff = 2000;
    app::paintDisplay();
    EXPECT_EQ(at(12, 285), blackPixel);
    EXPECT_EQ(firstOther(12, 285, blackPixel), 90);
    EXPECT_EQ(at(90, 285), whitePixel);
    // The frame of the gauge, black, one pixel wide, inside its rectangle.
    EXPECT_EQ(at(10, 280), blackPixel);
    EXPECT_EQ(at(329, 289), blackPixel);
    EXPECT_EQ(at(11, 281), whitePixel);
}

TEST_F(DisplayTest, AGaugeFallingFromFullToZeroIsErased) {
    analysis::windowDiff = 9000;
    app::paintDisplay();
    EXPECT_EQ(firstOther(12, 285, blackPixel), 330);
    analysis::windowDiff = 0;
    app::paintDisplay();
    // White up to the old right edge, over the gauge frame's right column too.
    EXPECT_EQ(at(12, 285), whitePixel);
    EXPECT_EQ(at(329, 285), whitePixel);
    EXPECT_EQ(at(329, 280), blackPixel);
    EXPECT_EQ(app::gaugeRight, 10);
}

TEST_F(DisplayTest, RegionOutlinesAreWhiteOnTheFrame) {
    app::paintDisplay();
    EXPECT_EQ(at(102, 60), whitePixel);
    EXPECT_EQ(at(248, 125), whitePixel);
    EXPECT_EQ(at(103, 61), grayPixel(100));
    EXPECT_EQ(at(101, 61), grayPixel(100));
    EXPECT_EQ(at(21, 84), whitePixel);
    EXPECT_EQ(at(321, 151), whitePixel);
    EXPECT_EQ(at(20, 84), grayPixel(100));
}

TEST_F(DisplayTest, TheSavedFrameIsClippedAtThreeForty) {
    app::paintSavedFrame();
    EXPECT_EQ(at(339, 100), whitePixel);
    EXPECT_EQ(at(340, 100), grayPixel(100));
    EXPECT_EQ(at(649, 249), grayPixel(100));
    EXPECT_EQ(at(650, 100), whitePixel);
    EXPECT_EQ(at(400, 250), whitePixel);
}

TEST_F(DisplayTest, StatusTextIsClippedAtSixSixty) {
    std::snprintf(analysis::statusLine, sizeof analysis::statusLine, "%s\n", std::string(200, 'W').c_str());
    app::paintDisplay();
    bool inked = false;
    for (int x = 10; x < 660; ++x) {
        for (int y = 250; y < 260; ++y) inked = inked || !(at(x, y) == whitePixel);
    }
    EXPECT_TRUE(inked);
    for (int x = 660; x < 800; ++x) {
        for (int y = 250; y < 290; ++y) ASSERT_EQ(at(x, y), whitePixel) << x << "," << y;
    }
}

TEST_F(DisplayTest, ATooDarkPaintKeepsTheTitleStatusAndGaugeOfTheFullOne) {
    std::snprintf(analysis::statusLine, sizeof analysis::statusLine, "status\n");
    analysis::windowDiff = 4000;
    app::paintDisplay();
    const std::string title = app::mainWindow->title;
    const Rgb statusPixel = at(12, 254);
    pipeline::acquireFrame();  // the darker frame
    app::paintTooDark();
    EXPECT_EQ(app::mainWindow->title, title);
    EXPECT_EQ(firstOther(12, 285, blackPixel), 170);
    EXPECT_EQ(at(12, 254), statusPixel);
    EXPECT_EQ(at(21, 84), grayPixel(50)) << "the new frame covers the band outlines";
    EXPECT_EQ(at(102, 60), blackPixel);
    EXPECT_EQ(at(150, 90), grayPixel(50));
}

TEST_F(DisplayTest, TheTriggerMarkOutlinesTheWindowInBlackWithoutRedrawingTheFrame) {
    app::paintDisplay();
    app::paintTriggerMark();
    EXPECT_EQ(at(102, 60), blackPixel);
    EXPECT_EQ(at(21, 84), whitePixel);
}

TEST_F(DisplayTest, TheTitleCarriesTheRunningFigures) {
    EXPECT_EQ(app::mainWindow->title, "TAVO(TM) MOTION");
    pipeline::frameCount = 12;
    pipeline::fps = 25;
    analysis::lastBrightness = 29950;
    analysis::windowTexture = 1234;
    app::paintDisplay();
    EXPECT_EQ(app::mainWindow->title,
              "TAVO(TM) MOTION - Frame 12: FPS: 25 Value:  299 Contrast:   12 -       ");
    std::strcpy(analysis::statusText, "stable..waiting for motion.....");
    pipeline::fps = 7;
    app::paintDisplay();
    EXPECT_EQ(app::mainWindow->title,
              "TAVO(TM) MOTION - Frame 12: FPS:  7 Value:  299 Contrast:   12 - stable..waiting for "
              "motion.....      ");
}

}  // namespace

TEST_F(DisplayTest, UnseenLivePaintsAreLeftOutButTheTitleAndTheRarePaintsGoOn) {
    app::unseenPaintsLeftOut = 1;  // headless, no web client, no snapshot
    analysis::windowDiff = 9000;
    pipeline::frameCount = 3;
    app::paintDisplay();
    app::paintTooDark();
    EXPECT_EQ(at(150, 90), whitePixel) << "no live frame drawn";
    EXPECT_EQ(at(12, 285), whitePixel) << "no gauge drawn";
    EXPECT_EQ(app::gaugeRight, 329) << "the gauge's edge stays the one on the canvas";
    EXPECT_NE(app::mainWindow->title.find("Frame 3:"), std::string::npos) << app::mainWindow->title;
    app::paintSavedFrame();
    EXPECT_EQ(at(400, 100), grayPixel(100)) << "a saved frame is drawn for whoever looks later";

    // Someone looks: the next live paint draws the whole live area.
    app::unseenPaintsLeftOut = 0;
    app::paintDisplay();
    EXPECT_EQ(at(150, 90), grayPixel(100));
    EXPECT_EQ(firstOther(12, 285, blackPixel), 330);
    EXPECT_EQ(at(102, 60), whitePixel);
}
