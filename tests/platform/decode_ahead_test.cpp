// A recording decoded ahead on a thread of its own: a few pictures ahead with
// frame threads when replayed for throughput, in bursts of pictures at real
// speed. What a grab gets must not change.
#include <gtest/gtest.h>

#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

using platform::GrabOutcome;
using testmedia::patternDib;
using testmedia::SourceGrabber;

constexpr std::int64_t millisecond = 1'000'000;
constexpr int width = 640;  // big enough for frame threads
constexpr int height = 480;
constexpr int frames = 24;

class DecodeAhead : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        testmedia::VideoRecipe recipe;
        recipe.width = width;
        recipe.height = height;
        recipe.timestamps = testmedia::evenTimestamps(frames, 40);
        testmedia::writeVideo(video, recipe);
    }

    // A grabber whose source decodes ahead, for throughput or in bursts; opened.
    std::unique_ptr<SourceGrabber> aheadOf(const std::string& path) {
        auto grabber = std::make_unique<SourceGrabber>(path);
        if (GetParam()) grabber->source->preferThroughput();
        EXPECT_TRUE(grabber->open()) << grabber->failure;
        return grabber;
    }

    void expectFrame(SourceGrabber& grabber, std::int64_t elapsed, int frame) {
        const auto grab = grabber.grabNative(elapsed);
        ASSERT_EQ(grab.outcome, GrabOutcome::delivered) << "frame " << frame;
        EXPECT_EQ(grab.dueNanoseconds, frame * 40 * millisecond);
        EXPECT_TRUE(grab.image == patternDib(frame, width, height)) << "frame " << frame;
    }

    testmedia::TemporaryFolder folder;
    const std::string video = folder.file("big.mkv");
};

// Consecutive grabs, a disconnect while the queue holds pictures, a sleep
// that skips queued pictures, and the end: every picture exactly the frame
// due, as without decoding ahead.
TEST_P(DecodeAhead, EveryGrabGetsTheFrameDueThroughReconnectSleepAndEnd) {
    auto grabber = aheadOf(video);
    for (int frame = 0; frame < 5; ++frame) expectFrame(*grabber, 0, frame);
    grabber->source->close();
    EXPECT_EQ(grabber->grabNative(0).outcome, GrabOutcome::failed);
    ASSERT_TRUE(grabber->open()) << grabber->failure;
    expectFrame(*grabber, 0, 5);
    expectFrame(*grabber, 400 * millisecond, 10);
    for (int frame = 11; frame < frames; ++frame) expectFrame(*grabber, 0, frame);
    for (int repeat = 0; repeat < 2; ++repeat) {
        const auto end = grabber->grabNative(2000 * millisecond);
        EXPECT_EQ(end.outcome, GrabOutcome::endOfRecording);
        EXPECT_TRUE(end.image == patternDib(frames - 1, width, height));
    }
}

// The thread waits on a full queue, or reads a copy cut in the middle; the
// source goes away either way, without a wait and (under the sanitizers)
// without a leak.
TEST_P(DecodeAhead, ASourceLeftMidwayOrCutShortEndsCleanly) {
    aheadOf(video)->grabNative(0);

    auto bytes = testmedia::readBytes(video);
    bytes.resize(bytes.size() * 2 / 3);
    const std::string cut = folder.file("cut.mkv");
    testmedia::writeBytes(cut, bytes);
    auto grabber = aheadOf(cut);
    int delivered = 0;
    while (delivered < frames && grabber->grabNative(0).outcome == GrabOutcome::delivered) ++delivered;
    EXPECT_GT(delivered, 5);
    EXPECT_LT(delivered, frames);
    EXPECT_EQ(grabber->grabNative(0).outcome, GrabOutcome::endOfRecording);
}

INSTANTIATE_TEST_SUITE_P(ForThroughputOrInBursts, DecodeAhead, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ForThroughput" : "InBursts";
                         });

}  // namespace
