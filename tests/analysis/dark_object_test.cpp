#include "analysis/dark_object.h"

#include <gtest/gtest.h>

#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "support/allocation_counter.h"
#include "support/program_fixture.h"

namespace {

using namespace analysis;
using pipeline::currentImage;
using pipeline::GrayImage;
using pipeline::referenceImage;

// The first cell the main loop tests: rows 74 .. 81, columns 9 .. 82 (592
// pixels), column 8 as the left neighbour.
constexpr int top = 74;
constexpr int bottom = 82;
constexpr int left = 8;
constexpr int right = 83;

class DarkObjectTest : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        pipeline::frameImage.width = 320;
        pipeline::frameImage.height = 240;
    }
    static void set(GrayImage& image, int row, int column, std::uint8_t level) {
        image[static_cast<std::size_t>(row * 320 + column)] = level;
    }
    // Columns from `first` alternate high, low, high ... to column `last`;
    // the column before `first` is low.
    static void alternate(GrayImage& image, int rowTop, int rowBottom, int first, int last, std::uint8_t high,
                          std::uint8_t low) {
        for (int row = rowTop; row < rowBottom; ++row) {
            set(image, row, first - 1, low);
            for (int column = first; column <= last; ++column) {
                set(image, row, column, (column - first) % 2 == 0 ? high : low);
            }
        }
    }
};

TEST_F(DarkObjectTest, AllBlackReferenceCellIsDarkerWithoutDividing) {
    currentImage.fill(100);
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(),
              "\n sum < 55  d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 10000 still sum 0 d 0 stil d 0 minvalue 0 range 0"
              "\n 0: bright 10000 dark 10000 maxcont  0 min  0 \n"
              "bb sum bright 10000 d (contrast)   0  <-1> std_dark 0 std_cont 0\n");
    EXPECT_EQ(cellBrightness, 10000);
}

TEST_F(DarkObjectTest, RatioFiftyFiveDoesNotFireFiftyFourDoes) {
    referenceImage.fill(100);
    currentImage.fill(55);
    EXPECT_FALSE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(cellBrightness, 5500);
    EXPECT_EQ(takeConsole(), "");

    set(currentImage, 74, 40, 54);  // 32559 x 100 / 592
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(),
              "\n sum < 55  d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 5499 still sum 10000 d 0 stil d 0 minvalue 0 range 0"
              "\n 0: bright 5500 dark 5499 maxcont  0 min  0 \n"
              "bb sum bright 5499 d (contrast)   0  <-1> std_dark 0 std_cont 0\n");
}

TEST_F(DarkObjectTest, ReferenceTextureIsMeasuredOnTheReference) {
    alternate(referenceImage, top, bottom, 9, 82, 102, 100);
    currentImage.fill(50);
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(),
              "\n sum < 55  d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 5000 still sum 10100 d 0 stil d 200 minvalue 0 range 0"
              "\n 0: bright 5000 dark 5000 maxcont  0 min  0 \n"
              "bb sum bright 5000 d (contrast)   0  <-1> std_dark 0 std_cont 0\n");
}

TEST_F(DarkObjectTest, WindowTextureChangeOfNineNinetyNineDoesNotFireAThousandDoes) {
    currentImage.fill(100);
    referenceImage.fill(100);
    stillTexture = 1000;
    lastTexture = 1999;
    EXPECT_FALSE(testDarkObject(top, bottom, left, right));
    lastTexture = 1;
    EXPECT_FALSE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(), "");

    lastTexture = 2000;
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(),
              "\n smooth > 999  d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 10000 still sum 10000 d 0 stil d 0 minvalue 0 range 0"
              "\n 0: bright 10000 dark 10000 maxcont  0 min  0 \n"
              "bb sum bright 10000 d (contrast)   0  <-1> std_dark 0 std_cont 1000\n");
    lastTexture = 0;
    EXPECT_TRUE(testDarkObject(84, 92, 233, 309)) << "a lower texture changes it as much";
}

TEST_F(DarkObjectTest, AsDarkAsTheBackgroundMinimum) {
    backgroundMin = 50;
    backgroundRange = 120;
    currentImage.fill(51);
    referenceImage.fill(51);
    EXPECT_FALSE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(cellBrightness, 5100);
    EXPECT_EQ(takeConsole(), "");

    set(currentImage, 74, 40, 50);
    set(referenceImage, 74, 40, 50);
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(),
              "\n sum less then min + range d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 5099 still sum 5099 d 0 stil d 0 minvalue 50 range 120"
              "\n 0: bright 5100 dark 5099 maxcont  0 min  0 \n"
              "bb sum bright 5099 d (contrast)   0  <-1> std_dark 0 std_cont 0\n");
}

TEST_F(DarkObjectTest, ACellOfTenThousandIsNeverAsDarkAsTheBackground) {
    backgroundMin = 255;
    currentImage.fill(100);
    referenceImage.fill(100);
    EXPECT_FALSE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(), "");

    set(currentImage, 74, 40, 99);
    set(referenceImage, 74, 40, 99);
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(cellBrightness, 9999);
    EXPECT_EQ(takeConsole(),
              "\n sum less then min + range d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 9999 still sum 9999 d 0 stil d 0 minvalue 255 range 0"
              "\n 0: bright 10000 dark 9999 maxcont  0 min  0 \n"
              "bb sum bright 9999 d (contrast)   0  <-1> std_dark 0 std_cont 0\n");
}

TEST_F(DarkObjectTest, AllThreeSignsPrintInOrderThenTheSummary) {
    alternate(currentImage, top, bottom, 9, 82, 42, 40);
    backgroundMin = 50;
    backgroundRange = 7;
    lastTexture = 1003;
    stillTexture = 3;
    stillDarkLevel = 10000;
    sceneState = state::moving;
    pipeline::fps = 25;
    EXPECT_TRUE(testDarkObject(top, bottom, left, right));
    EXPECT_EQ(takeConsole(),
              "\n sum < 55  d  <<<<<<<<<<<<<<<<<<\n"
              "\n smooth > 999  d  <<<<<<<<<<<<<<<<<<\n"
              "\n sum less then min + range d  <<<<<<<<<<<<<<<<<<\n"
              "black detected , sum 4100 still sum 0 d 200 stil d 0 minvalue 50 range 7"
              "\n25: bright 4100 dark 4100 maxcont 200 min 200 \n"
              "bb sum bright 4100 d (contrast)  200  <2> std_dark 10000 std_cont 3\n");
}

TEST_F(DarkObjectTest, NoSignPrintsNothingButKeepsTheExtremes) {
    for (GrayImage* image : {&currentImage, &referenceImage}) {
        image->fill(30);
        alternate(*image, 84, 92, 84, 157, 94, 90);
    }
    EXPECT_FALSE(testDarkObject(top, bottom, left, right));
    EXPECT_FALSE(testDarkObject(84, 92, 83, 158));
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(cellBrightness, 9200);
    EXPECT_EQ(cellBrightnessMin, 3000);
    EXPECT_EQ(cellBrightnessMax, 9200);
    EXPECT_EQ(cellTextureMin, 0);
    EXPECT_EQ(cellTextureMax, 400);
}

TEST_F(DarkObjectTest, TheTwelveCellsDoNotAllocate) {
    currentImage.fill(80);
    referenceImage.fill(80);
    const std::size_t before = testing_support::allocationsSoFar();
    for (const int cellTop : {74, 84, 134}) {
        for (const int cellLeft : {8, 83, 158, 233}) {
            const int cellRight = cellLeft == 233 ? 309 : cellLeft + 75;
            EXPECT_FALSE(testDarkObject(cellTop, cellTop + 8, cellLeft, cellRight));
        }
    }
    EXPECT_EQ(testing_support::allocationsSoFar(), before);
    EXPECT_EQ(takeConsole(), "");
}

}  // namespace
