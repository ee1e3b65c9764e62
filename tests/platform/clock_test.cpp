#include "platform/clock/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/sources/recorded_timeline.h"

namespace {

using namespace platform;

class VirtualClock : public ::testing::Test {
protected:
    void SetUp() override {
        clock::resetClock();
        clock::select(clock::Kind::virtualTime);
    }
    void TearDown() override { clock::resetClock(); }
};

TEST_F(VirtualClock, StartsAtZeroAndMovesOnlyBySleeping) {
    EXPECT_EQ(clock::nowNanoseconds(), 0);
    clock::sleepMilliseconds(5000);
    EXPECT_EQ(clock::nowNanoseconds(), 5'000'000'000);
    clock::sleepMilliseconds(1);
    EXPECT_EQ(clock::nowNanoseconds(), 5'001'000'000);
}

TEST_F(VirtualClock, SleepUntilNeverGoesBack) {
    clock::sleepUntil(2'000'000'000);
    EXPECT_EQ(clock::nowNanoseconds(), 2'000'000'000);
    clock::sleepUntil(1'000'000'000);
    EXPECT_EQ(clock::nowNanoseconds(), 2'000'000'000);
}

TEST_F(VirtualClock, RealTimeGoesOnBesideIt) {
    const std::int64_t before = clock::realNanoseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    clock::sleepMilliseconds(60'000);
    const std::int64_t after = clock::realNanoseconds();
    EXPECT_GE(after - before, 20'000'000);
    EXPECT_LT(after - before, 10'000'000'000);
    EXPECT_EQ(clock::nowNanoseconds(), 60'000'000'000);
}

TEST(RealClock, NeverGoesBackwards) {
    clock::resetClock();
    std::int64_t previous = clock::nowNanoseconds();
    for (int i = 0; i < 1000; ++i) {
        const std::int64_t now = clock::nowNanoseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

double realSecondsOf(void (*wait)()) {
    const std::int64_t before = clock::realNanoseconds();
    wait();
    return static_cast<double>(clock::realNanoseconds() - before) / 1e9;
}

int watcherCalls = 0;

// A pause lasts its whole time until a stop is asked for, here by the watcher
// of long sleeps (as the window's close button is heard); from then on no
// real sleep lasts, while the virtual clock still moves by each pause.
TEST(RealClock, AStopCutsThePauseItComesInAndEveryLaterOne) {
    clock::resetClock();
    watcherCalls = 0;
    clock::watchDuringSleeps([] {
        if (++watcherCalls == 4) clock::requestStop();
    });
    EXPECT_GE(realSecondsOf([] { clock::sleepMilliseconds(30); }), 0.030);
    EXPECT_EQ(watcherCalls, 0) << "a short sleep is one slice, not watched";
    const double stopped = realSecondsOf([] { clock::sleepMilliseconds(60'000); });
    EXPECT_GE(stopped, 0.15);
    EXPECT_LT(stopped, 10.0);
    EXPECT_EQ(watcherCalls, 4);
    EXPECT_TRUE(clock::stopRequested());
    EXPECT_LT(realSecondsOf([] {
                  clock::sleepMilliseconds(15'000);
                  clock::sleepUntil(clock::nowNanoseconds() + 5'000'000'000);
              }),
              1.0);
    clock::select(clock::Kind::virtualTime);
    clock::sleepMilliseconds(5000);
    EXPECT_EQ(clock::nowNanoseconds(), 5'000'000'000);
    clock::watchDuringSleeps(nullptr);
    clock::resetClock();
    EXPECT_FALSE(clock::stopRequested());
}

TEST(RecordedTimeline, FramesAtTwentyFivePerSecond) {
    const FrameRate rate{25, 1};
    EXPECT_EQ(frameDueNanoseconds(0, rate), 0);
    EXPECT_EQ(frameDueNanoseconds(1, rate), 40'000'000);
    EXPECT_EQ(frameDueNanoseconds(125, rate), 5'000'000'000);
    // Consecutive grabs get consecutive frames.
    EXPECT_EQ(frameForGrab(0, -1, rate), 0);
    EXPECT_EQ(frameForGrab(0, 0, rate), 1);
    EXPECT_EQ(frameForGrab(40'000'000, 1, rate), 2);
    // After a 1000 ms sleep, the grab skips to last + 25.
    EXPECT_EQ(frameForGrab(frameDueNanoseconds(10, rate) + 1'000'000'000, 10, rate), 35);
    // The first grab after the 5000 ms pause of the first allocation.
    EXPECT_EQ(frameForGrab(5'000'000'000, -1, rate), 125);
    // Just past a due time rounds up to the next frame.
    EXPECT_EQ(frameForGrab(40'000'001, -1, rate), 2);
}

TEST(RecordedTimeline, FractionalRatesRoundDueTimesUp) {
    const FrameRate ntsc{30000, 1001};
    EXPECT_EQ(frameDueNanoseconds(1, ntsc), 33'366'667);
    EXPECT_EQ(frameDueNanoseconds(3, FrameRate{3, 1}), 1'000'000'000);
    EXPECT_EQ(frameDueNanoseconds(1, FrameRate{3, 1}), 333'333'334);
    // Products far past 64 bits still come out right.
    EXPECT_EQ(frameDueNanoseconds(1'000'000'000'000LL, FrameRate{1000, 1}), 1'000'000'000'000'000'000LL);
}

}  // namespace
