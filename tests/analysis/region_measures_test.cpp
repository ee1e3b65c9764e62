#include "analysis/region_measures.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "support/allocation_counter.h"
#include "support/program_fixture.h"

namespace {

using namespace analysis;
using pipeline::currentImage;
using pipeline::referenceImage;

class RegionMeasuresTest : public testing_support::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        pipeline::frameImage.width = 320;
        pipeline::frameImage.height = 240;
    }
    static void setCurrent(int row, int column, std::uint8_t level) {
        currentImage[static_cast<std::size_t>(row * pipeline::frameImage.width + column)] = level;
    }
    static void setReference(int row, int column, std::uint8_t level) {
        referenceImage[static_cast<std::size_t>(row * pipeline::frameImage.width + column)] = level;
    }
    static void fillCurrentRow(int row, int first, int last, std::uint8_t level) {
        for (int column = first; column <= last; ++column) setCurrent(row, column, level);
    }
};

TEST_F(RegionMeasuresTest, IdenticalImagesDifferByNothing) {
    currentImage.fill(93);
    referenceImage.fill(93);
    EXPECT_EQ(measureDifference(50, 116, 81, 228), 0u);
}

TEST_F(RegionMeasuresTest, BlackReferenceAgainstWhiteCurrentIsTheLargestDifference) {
    currentImage.fill(255);
    EXPECT_EQ(measureDifference(50, 116, 81, 228), 255000u);
}

TEST_F(RegionMeasuresTest, DifferenceMeasuresColumnLeftButNotColumnRight) {
    setReference(60, 100, 40);
    EXPECT_EQ(measureDifference(60, 61, 100, 101), 40000u);
    setReference(60, 101, 40);
    EXPECT_EQ(measureDifference(60, 61, 100, 101), 40000u);
    EXPECT_EQ(measureDifference(60, 61, 100, 102), 40000u);
}

TEST_F(RegionMeasuresTest, DifferenceTakesTheAbsoluteValueBothWays) {
    setReference(70, 10, 30);
    setCurrent(70, 11, 30);
    EXPECT_EQ(measureDifference(70, 71, 10, 12), 30000u);
}

TEST_F(RegionMeasuresTest, DifferenceProductWrapsInThirtyTwoBits) {
    // 20000 pixels of 255: 5100000 x 1000 wraps to 805032704, / 20000.
    currentImage.fill(255);
    EXPECT_EQ(measureDifference(0, 100, 0, 200), 40251u);
}

TEST_F(RegionMeasuresTest, OnePixelBrightnessIgnoresColumnLeft) {
    setCurrent(30, 40, 200);
    setCurrent(30, 41, 37);
    EXPECT_EQ(measureBrightness(30, 31, 40, 42), 3700);
    EXPECT_EQ(lastBrightness, 3700);
    setCurrent(30, 40, 0);
    EXPECT_EQ(measureBrightness(30, 31, 40, 42), 3700);
}

TEST_F(RegionMeasuresTest, BrightnessTruncatesOnce) {
    setCurrent(5, 11, 100);
    setCurrent(5, 12, 101);
    EXPECT_EQ(measureBrightness(5, 6, 10, 13), 10050);
    setCurrent(6, 13, 1);
    EXPECT_EQ(measureBrightness(6, 7, 10, 14), 33);
    EXPECT_EQ(lastBrightness, 33);
}

TEST_F(RegionMeasuresTest, UniformRectangleGivesItsLevelAndNoTexture) {
    currentImage.fill(77);
    EXPECT_EQ(measureBrightness(125, 140, 10, 90), 7700);
    EXPECT_EQ(measureTexture(50, 116, 81, 228), 0);
    EXPECT_EQ(lastTexture, 0);
}

TEST_F(RegionMeasuresTest, TextureAddsTheVerticalTermsUnderTheLeftNeighbours) {
    fillCurrentRow(40, 0, 319, 60);
    fillCurrentRow(41, 0, 319, 70);
    // Horizontal terms 0; vertical terms under columns 90 and 91 are 10 each.
    EXPECT_EQ(measureTexture(40, 41, 90, 93), 500);
    EXPECT_EQ(lastTexture, 500);
    setCurrent(41, 92, 200);
    EXPECT_EQ(measureTexture(40, 41, 90, 93), 500);
    setCurrent(41, 91, 200);
    EXPECT_EQ(measureTexture(40, 41, 90, 93), 3750);  // (10 + 140) x 50 / 2
}

TEST_F(RegionMeasuresTest, TextureCountsOnlyTheHorizontalPairs) {
    // Columns 90 .. 92 of row 40: 10, 30, 60; row 41 all 0.
    setCurrent(40, 90, 10);
    setCurrent(40, 91, 30);
    setCurrent(40, 92, 60);
    // Horizontal 20 + 30, vertical 10 + 30: 90 x 50 / 2.
    EXPECT_EQ(measureTexture(40, 41, 90, 93), 2250);
}

TEST_F(RegionMeasuresTest, TextureReadsBelowTheFrameUpToTheBufferRowCapacity) {
    // Row 240 lies below a 320 x 240 frame but inside the buffer.
    fillCurrentRow(240, 0, 319, 20);
    EXPECT_EQ(measureTexture(239, 240, 100, 102), 1000);
}

TEST_F(RegionMeasuresTest, TextureOfRowFiveSeventyFiveHasNoVerticalTerm) {
    fillCurrentRow(576, 0, 319, 90);  // still inside the buffer at a stride of 320
    EXPECT_EQ(measureTexture(575, 576, 100, 102), 0);
    fillCurrentRow(575, 0, 319, 90);
    EXPECT_EQ(measureTexture(574, 575, 100, 102), 4500);
}

TEST_F(RegionMeasuresTest, RowsAreFrameWidthApart) {
    pipeline::frameImage.width = 100;
    currentImage[static_cast<std::size_t>(3 * 100 + 51)] = 250;
    EXPECT_EQ(measureBrightness(3, 4, 50, 52), 25000);
    referenceImage[static_cast<std::size_t>(3 * 100 + 50)] = 10;
    EXPECT_EQ(measureDifference(3, 4, 50, 51), 10000u);
}

TEST_F(RegionMeasuresTest, AnEmptyRectangleMeasuresZero) {
    currentImage.fill(255);
    EXPECT_EQ(measureDifference(10, 10, 0, 5), 0u);
    EXPECT_EQ(measureBrightness(10, 11, 5, 6), 0);
    EXPECT_EQ(measureTexture(10, 9, 5, 8), 0);
}

TEST_F(RegionMeasuresTest, MeasuresDoNotAllocate) {
    currentImage.fill(10);
    const std::size_t before = testing_support::allocationsSoFar();
    measureDifference(50, 116, 81, 228);
    measureBrightness(50, 116, 81, 228);
    measureTexture(50, 116, 81, 228);
    EXPECT_EQ(testing_support::allocationsSoFar(), before);
}

// Pixel by pixel, as the measures are defined, for rectangles of every width
// from one to forty measured columns.
TEST_F(RegionMeasuresTest, EveryWidthAgreesWithAPixelByPixelSum) {
    for (std::size_t i = 0; i < 320 * 240; ++i) {
        currentImage[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 24);
        referenceImage[i] = static_cast<std::uint8_t>((i * 40503u + 17u) >> 7);
    }
    const auto at = [](const pipeline::GrayImage& image, int row, int column) {
        return static_cast<int>(image[static_cast<std::size_t>(row * 320 + column)]);
    };
    const int top = 20;
    const int bottom = 23;
    const int left = 7;
    for (int right = left + 2; right <= left + 41; ++right) {
        int difference = 0;
        int level = 0;
        int texture = 0;
        for (int r = top; r < bottom; ++r) {
            for (int c = left; c < right; ++c)
                difference += std::abs(at(referenceImage, r, c) - at(currentImage, r, c));
            for (int c = left + 1; c < right; ++c) {
                level += at(currentImage, r, c);
                texture += std::abs(at(currentImage, r, c) - at(currentImage, r, c - 1));
                texture += std::abs(at(currentImage, r + 1, c - 1) - at(currentImage, r, c - 1));
            }
        }
        const int columns = right - left - 1;
        ASSERT_EQ(measureDifference(top, bottom, left, right),
                  static_cast<std::uint32_t>(difference * 1000 / (3 * (columns + 1))))
            << right;
        ASSERT_EQ(measureBrightness(top, bottom, left, right), level * 100 / (3 * columns)) << right;
        ASSERT_EQ(measureTexture(top, bottom, left, right), texture * 50 / (3 * columns)) << right;
    }
}

class BackgroundTest : public RegionMeasuresTest {
protected:
    // The learning background strip (10, 110, 10, 150): columns 11 .. 149.
    static void fillStrip(std::uint8_t level) {
        for (int row = 10; row < 110; ++row) fillCurrentRow(row, 11, 149, level);
    }
};

TEST_F(BackgroundTest, AllOneTwentyEightIsBrightWithoutContrast) {
    currentImage.fill(128);
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(takeConsole(),
              "\n***** BRIGHT BACKGROUND ********\n"
              "\nmax value 128 min value 128 range 0 brightsum [12800] smooth value 0\n"
              "\n***** NO Conrast   BACKGROUND ********\n"
              "\nmax value 128 min value 128 range 0 brightsum [12800] smooth value 0\n");
    EXPECT_EQ(backgroundMax, 128);
    EXPECT_EQ(backgroundMin, 128);
    EXPECT_EQ(backgroundRange, 0);
}

TEST_F(BackgroundTest, DarkStripWithoutContrastPrintsBothVerdicts) {
    currentImage.fill(100);
    for (int row = 50; row < 60; ++row) fillCurrentRow(row, 60, 69, 120);
    analyseBackground(10, 110, 10, 150);
    // 13900 pixels: brightness 1392000 x 100 / 13900; texture 800 x 50 / 13900.
    EXPECT_EQ(takeConsole(),
              "\n***** DARK   BACKGROUND ********\n"
              "\nmax value 120 min value 100 range 20 brightsum [10014] smooth value 2\n"
              "\n***** NO Conrast   BACKGROUND ********\n"
              "\nmax value 120 min value 100 range 20 brightsum [10014] smooth value 2\n");
    EXPECT_EQ(backgroundTexture, 2);
}

TEST_F(BackgroundTest, MinimumOneTwentySevenIsNotBright) {
    fillStrip(127);
    setCurrent(30, 40, 200);
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(backgroundMin, 127);
    EXPECT_EQ(backgroundMax, 200);
    EXPECT_EQ(backgroundRange, 73);
}

TEST_F(BackgroundTest, MaximumOneTwentySevenIsNotDark) {
    fillStrip(127);
    setCurrent(30, 40, 50);
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(backgroundMax, 127);
    EXPECT_EQ(backgroundRange, 77);
}

TEST_F(BackgroundTest, RangeOfExactlyFiftyHasContrast) {
    fillStrip(100);
    setCurrent(30, 40, 150);
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(backgroundRange, 50);

    setCurrent(30, 40, 149);
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(takeConsole(),
              "\n***** NO Conrast   BACKGROUND ********\n"
              "\nmax value 149 min value 100 range 49 brightsum [10000] smooth value 86\n");
}

TEST_F(BackgroundTest, ColumnLeftIsNotPartOfTheStrip) {
    fillStrip(100);
    setCurrent(30, 10, 0);
    setCurrent(30, 150, 0);
    setCurrent(31, 149, 200);
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(backgroundMin, 100);
    EXPECT_EQ(backgroundMax, 200);
}

TEST_F(BackgroundTest, LeavesLastTextureEqualToTheBackgroundTexture) {
    fillStrip(100);
    for (int row = 10; row < 110; row += 2) fillCurrentRow(row, 11, 149, 180);
    lastTexture = -5;
    analyseBackground(10, 110, 10, 150);
    EXPECT_EQ(backgroundTexture, 4031);
    EXPECT_EQ(lastTexture, 4031);
    EXPECT_EQ(backgroundRange, 80);
}

}  // namespace
