#include "analysis/thresholds.h"

#include <gtest/gtest.h>

namespace {

using namespace analysis;

TEST(Thresholds, BaseSlightThreshold) {
    EXPECT_EQ(baseSlightThreshold(0), 1000);
    EXPECT_EQ(baseSlightThreshold(50), 1392);
    EXPECT_EQ(baseSlightThreshold(100), 1784);
    EXPECT_EQ(baseSlightThreshold(255), 3000);
}

TEST(Thresholds, MotionThreshold) {
    EXPECT_EQ(motionThreshold(0), 2000);
    EXPECT_EQ(motionThreshold(50), 2411);
    EXPECT_EQ(motionThreshold(100), 2823);
    EXPECT_EQ(motionThreshold(255), 4100);
}

TEST(Thresholds, StrongMotionTruncatesBeforeMultiplyingByFour) {
    EXPECT_EQ(strongMotionThreshold(0), 8000);
    EXPECT_EQ(strongMotionThreshold(50), 9644);
    EXPECT_EQ(strongMotionThreshold(100), 11292);
    EXPECT_EQ(strongMotionThreshold(255), 16400);
}

TEST(Thresholds, LearningMotionThreshold) {
    EXPECT_EQ(learningMotionThreshold(0), 6500);
    EXPECT_EQ(learningMotionThreshold(50), 7303);
    EXPECT_EQ(learningMotionThreshold(100), 8107);
    EXPECT_EQ(learningMotionThreshold(255), 10600);
}

}  // namespace
