// Frames a grab passes over need not be decoded when no other frame refers to
// them. The pictures that are looked at must not change for it.
#include <gtest/gtest.h>

#include <map>

#include "platform/sources/media_input.h"
#include "support/scene_video.h"
#include "support/source_grabber.h"
#include "support/test_media.h"

extern "C" {
#include <libavutil/frame.h>
}

namespace {

using platform::DecodeStatus;
using platform::GrabOutcome;
using testmedia::SourceGrabber;

constexpr std::int64_t millisecond = 1'000'000;
constexpr std::int64_t frameNanoseconds = 40 * millisecond;
constexpr int sceneFrames = 100;

using Pictures = std::map<std::int64_t, std::vector<std::uint8_t>>;  // by timestamp or due time

class UnseenFrames : public ::testing::Test {
protected:
    void SetUp() override {
        std::string failure;
        ASSERT_TRUE(testing_support::writeSceneVideo(video, ":7", sceneFrames, "libx264", failure))
            << failure;
    }

    // The luma of every picture the decoder gives, by timestamp.
    Pictures decodeAll(std::int64_t unseenBefore) {
        platform::MediaInput input;
        std::string reason;
        platform::InputRequest request;
        request.url = video;
        EXPECT_TRUE(input.open(request, reason)) << reason;
        Pictures pictures;
        for (DecodeStatus status = input.decodeNext(unseenBefore); status != DecodeStatus::end;
             status = input.decodeNext(unseenBefore)) {
            EXPECT_EQ(status, DecodeStatus::picture);
            const AVFrame* picture = input.picture();
            std::vector<std::uint8_t>& luma = pictures[picture->best_effort_timestamp];
            for (int y = 0; y < picture->height; ++y) {
                const std::uint8_t* row =
                    picture->data[0] + static_cast<std::ptrdiff_t>(y) * picture->linesize[0];
                luma.insert(luma.end(), row, row + picture->width);
            }
        }
        return pictures;
    }

    std::unique_ptr<SourceGrabber> openShrinking(bool forThroughput) {
        auto grabber = std::make_unique<SourceGrabber>(video);
        grabber->source->decodeOnlyFor(320, 240);
        if (forThroughput) grabber->source->preferThroughput();
        EXPECT_TRUE(grabber->open()) << grabber->failure;
        return grabber;
    }

    testmedia::TemporaryFolder folder;
    const std::string video = folder.file("scene.mp4");
};

// The encoder's B-frames that nothing refers to are left out, and every
// picture that is decoded is the one the full decode gives.
TEST_F(UnseenFrames, TheDecoderLeavesOutOnlyFramesNoOtherReferTo) {
    const Pictures all = decodeAll(platform::noFrameUnseen);
    ASSERT_GE(all.size(), static_cast<std::size_t>(sceneFrames) * 9 / 10);
    const Pictures seen = decodeAll(std::numeric_limits<std::int64_t>::max());
    EXPECT_LT(seen.size(), all.size() * 3 / 4) << "the encoder's B-frames";
    EXPECT_GT(seen.size(), all.size() / 4) << "the frames the others refer to";
    for (const auto& [timestamp, luma] : seen) {
        const auto full = all.find(timestamp);
        ASSERT_NE(full, all.end()) << timestamp;
        EXPECT_TRUE(luma == full->second) << "at " << timestamp;
    }
}

// Grabs after long pauses, at real speed (in bursts) and fast (for
// throughput), get exactly the frame due and its picture as grabbing every
// frame does.
TEST_F(UnseenFrames, GrabsAfterPausesGetTheFrameDueAsWhenEveryFrameIsTaken) {
    for (const bool forThroughput : {false, true}) {
        SCOPED_TRACE(forThroughput ? "for throughput" : "in bursts");
        auto everyFrame = openShrinking(forThroughput);
        Pictures byDue;
        for (testmedia::Grab grab = everyFrame->grab(0, 320, 240); grab.outcome == GrabOutcome::delivered;
             grab = everyFrame->grab(0, 320, 240))
            byDue[grab.dueNanoseconds] = grab.image;
        ASSERT_GE(byDue.size(), static_cast<std::size_t>(sceneFrames) * 9 / 10);

        auto nowAndThen = openShrinking(forThroughput);
        for (const std::int64_t elapsed : {0, 30, 1000, 1010, 1990, 2050, 2130, 3500, 3890}) {
            const testmedia::Grab grab = nowAndThen->grab(elapsed * millisecond, 320, 240);
            ASSERT_EQ(grab.outcome, GrabOutcome::delivered) << elapsed << " ms";
            EXPECT_GE(grab.dueNanoseconds, elapsed * millisecond);
            EXPECT_LT(grab.dueNanoseconds, elapsed * millisecond + frameNanoseconds);
            EXPECT_TRUE(grab.image == byDue[grab.dueNanoseconds]) << elapsed << " ms";
        }
    }
}

}  // namespace
