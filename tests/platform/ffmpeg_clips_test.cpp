// Recorded sources on the real traffic clips; expected values come from the
// clips' README (frame counts, timestamps, scene brightness).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "support/shared_data.h"
#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

using platform::GrabOutcome;
using testmedia::SourceGrabber;

constexpr std::int64_t millisecond = 1'000'000;

std::string clip(const std::string& name) { return testing_support::sharedDataPath("traffic/" + name); }

// The clips are not in the repository; without them every test here is skipped.
class TrafficClips : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::requireSharedData("traffic")) return;
    }
};

// Grabs with the clock standing still until the end; tiny pictures keep it quick.
std::vector<std::int64_t> dueTimesOfEveryFrame(const std::string& name) {
    SourceGrabber grabber(name);
    std::vector<std::int64_t> dues;
    if (!grabber.open()) {
        ADD_FAILURE() << grabber.failure;
        return dues;
    }
    for (;;) {
        const auto grab = grabber.grab(0, 8, 6);
        if (grab.outcome != GrabOutcome::delivered) {
            EXPECT_EQ(grab.outcome, GrabOutcome::endOfRecording);
            return dues;
        }
        dues.push_back(grab.dueNanoseconds);
    }
}

TEST_F(TrafficClips, ParkwayHas1699Frames) {
    const auto dues = dueTimesOfEveryFrame(clip("parkway_oncoming_28s.avi"));
    EXPECT_EQ(dues.size(), 1699u);
}

TEST_F(TrafficClips, RoadTopdownHas480FramesAt23976PerSecond) {
    const auto dues = dueTimesOfEveryFrame(clip("road_topdown_20s.mp4"));
    ASSERT_EQ(dues.size(), 480u);
    EXPECT_EQ(dues[0], 0);
    EXPECT_NEAR(static_cast<double>(dues[24]), 24 * 1001.0 / 24000.0 * 1e9, 1e6);
    EXPECT_NEAR(static_cast<double>(dues[479]), 479 * 1001.0 / 24000.0 * 1e9, 1e6);
}

TEST_F(TrafficClips, StreetObliqueCountsFromItsFirstTimestampAndKeepsItsGap) {
    const auto dues = dueTimesOfEveryFrame(clip("street_oblique_75s.mp4"));
    ASSERT_EQ(dues.size(), 734u);
    EXPECT_EQ(dues[0], 0);
    // 11.76 s -> 12.54 s in the clip's own time.
    EXPECT_NEAR(static_cast<double>(dues[101] - dues[100]), 780e6, 15e6);
    EXPECT_NEAR(static_cast<double>(dues[100]), (11.76 - 1.86) * 1e9, 15e6);
    // The last frame is at 75.01 s, the first at 1.86 s.
    EXPECT_NEAR(static_cast<double>(dues[733]), (75.01 - 1.86) * 1e9, 15e6);
    for (std::size_t frame = 1; frame < dues.size(); ++frame) ASSERT_GT(dues[frame], dues[frame - 1]);
}

TEST_F(TrafficClips, ScaledTo320x240FillsExactlyTheDib) {
    SourceGrabber grabber(clip("road_topdown_20s.mp4"));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_EQ(grabber.source->nativeWidth(), 640);
    EXPECT_EQ(grabber.source->nativeHeight(), 360);
    EXPECT_NEAR(grabber.source->recordingSeconds(), 20.02, 0.05);
    const auto grab = grabber.grab(0, 320, 240);
    ASSERT_EQ(grab.outcome, GrabOutcome::delivered);
    ASSERT_EQ(grab.image.size(), 230400u);
    ASSERT_EQ(platform::dibImageBytes(320, 240), 230400u);
    // Dusk light on dark asphalt.
    EXPECT_GT(testmedia::meanLevel(grab.image), 40.0);
    EXPECT_LT(testmedia::meanLevel(grab.image), 110.0);
}

// The double yellow centre line runs across the picture at y = 0.42 from the
// top; bottom row first, it is row 0.58 * 240 of the DIB.
TEST_F(TrafficClips, RowsComeBottomFirst) {
    SourceGrabber grabber(clip("road_topdown_20s.mp4"));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    const auto grab = grabber.grab(0, 320, 240);
    int yellowestRow = -1;
    double mostYellow = -1e9;
    for (int row = 0; row < 240; ++row) {
        double yellow = 0;
        for (int x = 0; x < 320; ++x) {
            const std::uint8_t* pixel = grab.image.data() + row * 960 + x * 3;
            yellow += (pixel[1] + pixel[2]) / 2.0 - pixel[0];
        }
        if (yellow > mostYellow) {
            mostYellow = yellow;
            yellowestRow = row;
        }
    }
    EXPECT_NEAR(yellowestRow, 0.58 * 240, 0.05 * 240);
}

// The first picture, as the ffmpeg command decodes it, top row first.
std::vector<std::uint8_t> firstPictureByFfmpegCommand(const std::string& name, std::size_t bytes) {
    const std::string command =
        "ffmpeg -nostdin -v error -i '" + name + "' -frames:v 1 -f rawvideo -pix_fmt bgr24 -";
    std::vector<std::uint8_t> picture(bytes);
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    picture.resize(std::fread(picture.data(), 1, bytes, pipe));
    ::pclose(pipe);
    return picture;
}

TEST_F(TrafficClips, ParkwayAtItsNativeSizeMatchesTheFfmpegCommand) {
    SourceGrabber grabber(clip("parkway_oncoming_28s.avi"));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_EQ(grabber.source->nativeWidth(), 320);
    EXPECT_EQ(grabber.source->nativeHeight(), 240);
    const auto grab = grabber.grabNative(0);
    ASSERT_EQ(grab.image.size(), 230400u);
    const auto reference = firstPictureByFfmpegCommand(clip("parkway_oncoming_28s.avi"), 230400);
    ASSERT_EQ(reference.size(), 230400u);
    int largestDifference = 0;
    for (int row = 0; row < 240; ++row) {
        for (int column = 0; column < 960; ++column) {
            const int delivered = grab.image[static_cast<std::size_t>(239 - row) * 960 + column];
            const int expected = reference[static_cast<std::size_t>(row) * 960 + column];
            largestDifference = std::max(largestDifference, std::abs(delivered - expected));
        }
    }
    EXPECT_EQ(largestDifference, 0);
}

TEST_F(TrafficClips, SleepSkipsFramesAndConsecutiveGrabsGetConsecutiveFrames) {
    SourceGrabber grabber(clip("road_topdown_20s.mp4"));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    const double framePeriod = 1001.0 / 24000.0 * 1e9;
    EXPECT_EQ(grabber.grab(0, 64, 36).dueNanoseconds, 0);
    // After a 1000 ms sleep: the first frame due at or after 1 s, frame 24.
    auto grab = grabber.grab(1000 * millisecond, 64, 36);
    EXPECT_NEAR(static_cast<double>(grab.dueNanoseconds), 24 * framePeriod, 1e6);
    grab = grabber.grab(grab.dueNanoseconds, 64, 36);
    EXPECT_NEAR(static_cast<double>(grab.dueNanoseconds), 25 * framePeriod, 1e6);
    grab = grabber.grab(grab.dueNanoseconds, 64, 36);
    EXPECT_NEAR(static_cast<double>(grab.dueNanoseconds), 26 * framePeriod, 1e6);
}

TEST_F(TrafficClips, EndOfRecordingRepeatsTheLastFrame) {
    SourceGrabber grabber(clip("road_topdown_20s.mp4"));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    const double framePeriod = 1001.0 / 24000.0 * 1e9;
    auto grab = grabber.grab(19'900 * millisecond, 320, 240);
    ASSERT_EQ(grab.outcome, GrabOutcome::delivered);
    EXPECT_NEAR(static_cast<double>(grab.dueNanoseconds), 478 * framePeriod, 1e6);
    const auto last = grabber.grab(grab.dueNanoseconds, 320, 240);
    ASSERT_EQ(last.outcome, GrabOutcome::delivered);
    EXPECT_NEAR(static_cast<double>(last.dueNanoseconds), 479 * framePeriod, 1e6);
    EXPECT_NE(last.image, grab.image);
    for (int repeat = 0; repeat < 2; ++repeat) {
        const auto end = grabber.grab(last.dueNanoseconds, 320, 240);
        EXPECT_EQ(end.outcome, GrabOutcome::endOfRecording);
        EXPECT_EQ(end.dueNanoseconds, last.dueNanoseconds);
        EXPECT_EQ(end.image, last.image);
    }
}

// This clip keeps its index before the picture data, so a cut copy opens and
// breaks off where the data ends; it also carries an audio track to ignore.
TEST_F(TrafficClips, CutCopyWithIndexFirstEndsWhereTheDataEnds) {
    testmedia::TemporaryFolder folder;
    auto bytes = testmedia::readBytes(clip("freeway_overpass_33s.mp4"));
    bytes.resize(300'000);
    const std::string cut = folder.file("freeway_cut.mp4");
    testmedia::writeBytes(cut, bytes);
    SourceGrabber grabber(cut);
    int delivered = 0;
    const auto lines = testmedia::standardErrorLinesOf([&] {
        ASSERT_TRUE(grabber.open()) << grabber.failure;
        EXPECT_EQ(grabber.source->nativeWidth(), 1280);
        for (int grab = 0; grab < 1000; ++grab) {
            const auto result = grabber.grab(0, 16, 9);
            if (result.outcome == GrabOutcome::endOfRecording) return;
            ASSERT_EQ(result.outcome, GrabOutcome::delivered);
            ++delivered;
        }
        ADD_FAILURE() << "the cut copy never ended";
    });
    EXPECT_GT(delivered, 10);
    EXPECT_LT(delivered, 985);
    ASSERT_GE(lines.size(), 1u);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
    for (const auto& line : lines) EXPECT_EQ(line.rfind(cut + ": ", 0), 0u) << line;
}

// This one keeps its index after the picture data: a cut copy has none.
TEST_F(TrafficClips, CutCopyWithIndexLastCannotBeOpened) {
    testmedia::TemporaryFolder folder;
    auto bytes = testmedia::readBytes(clip("road_topdown_20s.mp4"));
    bytes.resize(200'000);
    const std::string cut = folder.file("road_cut.mp4");
    testmedia::writeBytes(cut, bytes);
    SourceGrabber grabber(cut);
    EXPECT_FALSE(grabber.open());
    EXPECT_EQ(grabber.failure.rfind(cut + ": ", 0), 0u) << grabber.failure;
}

}  // namespace
