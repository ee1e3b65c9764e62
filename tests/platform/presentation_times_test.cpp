#include "platform/sources/presentation_times.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/avutil.h>
}

namespace {

using platform::PresentationTimes;

TEST(PresentationTimes, CountFromTheFirstFramesTimestamp) {
    PresentationTimes times({1, 1000}, {25, 1});
    EXPECT_EQ(times.next(1860, 0), 0);
    EXPECT_EQ(times.next(1940, 0), 80'000'000);
    EXPECT_EQ(times.next(2720, 0), 860'000'000);
}

TEST(PresentationTimes, RescaleFromTheStreamTimeBase) {
    PresentationTimes times({1001, 24000}, {24000, 1001});
    EXPECT_EQ(times.next(0, 0), 0);
    EXPECT_EQ(times.next(1, 0), 41'708'333);
    EXPECT_EQ(times.next(479, 0), 19'978'291'667);
}

TEST(PresentationTimes, MissingTimestampAddsTheFrameDuration) {
    PresentationTimes times({1, 90000}, {30, 1});
    EXPECT_EQ(times.next(9000, 3000), 0);
    EXPECT_EQ(times.next(AV_NOPTS_VALUE, 4500), 50'000'000);
    EXPECT_EQ(times.next(18000, 3000), 100'000'000);
}

TEST(PresentationTimes, MissingTimestampAndDurationUseTheAverageRate) {
    PresentationTimes times({1, 1000}, {20, 1});
    EXPECT_EQ(times.next(500, 0), 0);
    EXPECT_EQ(times.next(AV_NOPTS_VALUE, 0), 50'000'000);
    EXPECT_EQ(times.next(AV_NOPTS_VALUE, 0), 100'000'000);
}

TEST(PresentationTimes, FirstFrameWithoutTimestampStillStartsAtZero) {
    PresentationTimes times({1, 1000}, {10, 1});
    EXPECT_EQ(times.next(AV_NOPTS_VALUE, 0), 0);
    EXPECT_EQ(times.next(7000, 0), 100'000'000);
    EXPECT_EQ(times.next(7300, 0), 400'000'000);
}

// Below which timestamp every frame is due before a grab's time: none before
// the origin is known, and none once a due time no longer follows from the
// frame's own timestamp.
TEST(PresentationTimes, NeverGoBackAndThenNoLongerSayWhichFramesAreDueBefore) {
    PresentationTimes times({1, 1000}, {25, 1});
    EXPECT_FALSE(times.timestampDueBefore(0));
    EXPECT_EQ(times.next(100, 0), 0);
    EXPECT_EQ(times.timestampDueBefore(200'000'000), 300);
    EXPECT_EQ(times.timestampDueBefore(200'999'999), 300) << "rounded down";
    EXPECT_EQ(times.next(300, 0), 200'000'000);
    EXPECT_EQ(times.next(200, 0), 200'000'000);
    EXPECT_FALSE(times.timestampDueBefore(400'000'000));
    EXPECT_EQ(times.next(50, 0), 200'000'000);
    EXPECT_EQ(times.next(400, 0), 300'000'000);
}

}  // namespace
