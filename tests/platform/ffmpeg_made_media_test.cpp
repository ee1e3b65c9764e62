// Recorded sources on small videos the tests encode themselves, in a known
// pattern: every delivered picture can be checked byte for byte.
#include <gtest/gtest.h>

#include <set>

#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

using platform::GrabOutcome;
using testmedia::patternDib;
using testmedia::SourceGrabber;

constexpr std::int64_t millisecond = 1'000'000;

class MadeVideo : public ::testing::Test {
protected:
    std::string writeEvenVideo(const std::string& name, int frames) {
        testmedia::VideoRecipe recipe;
        recipe.timestamps = testmedia::evenTimestamps(frames, 40);
        const std::string path = folder.file(name);
        testmedia::writeVideo(path, recipe);
        return path;
    }

    testmedia::TemporaryFolder folder;
};

TEST_F(MadeVideo, OpensAtItsNativeSizeAsARecording) {
    SourceGrabber grabber(writeEvenVideo("ten.mkv", 10));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_TRUE(grabber.source->isOpen());
    EXPECT_FALSE(grabber.source->isLive());
    EXPECT_EQ(grabber.source->nativeWidth(), 32);
    EXPECT_EQ(grabber.source->nativeHeight(), 24);
    EXPECT_NEAR(grabber.source->recordingSeconds(), 0.4, 0.05);
    std::string again;
    EXPECT_TRUE(grabber.source->open(again));
}

TEST_F(MadeVideo, ConsecutiveGrabsDeliverEveryFrameExactly) {
    SourceGrabber grabber(writeEvenVideo("ten.mkv", 10));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    for (int frame = 0; frame < 10; ++frame) {
        const auto grab = grabber.grabNative(0);
        ASSERT_EQ(grab.outcome, GrabOutcome::delivered) << "frame " << frame;
        EXPECT_EQ(grab.dueNanoseconds, frame * 40 * millisecond);
        EXPECT_EQ(grab.image, patternDib(frame, 32, 24)) << "frame " << frame;
    }
}

TEST_F(MadeVideo, EndRepeatsTheLastFrameAndKeepsTheClockStill) {
    SourceGrabber grabber(writeEvenVideo("three.mkv", 3));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    for (int frame = 0; frame < 3; ++frame) ASSERT_EQ(grabber.grabNative(0).outcome, GrabOutcome::delivered);
    for (int repeat = 0; repeat < 2; ++repeat) {
        const auto end = grabber.grabNative(123 * millisecond);
        EXPECT_EQ(end.outcome, GrabOutcome::endOfRecording);
        EXPECT_EQ(end.dueNanoseconds, 123 * millisecond);
        EXPECT_EQ(end.image, patternDib(2, 32, 24));
    }
}

TEST_F(MadeVideo, EndReachedBySleepingPastItDeliversTheLastFrame) {
    SourceGrabber grabber(writeEvenVideo("five.mkv", 5));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    ASSERT_EQ(grabber.grabNative(0).outcome, GrabOutcome::delivered);
    const auto end = grabber.grabNative(10'000 * millisecond);
    EXPECT_EQ(end.outcome, GrabOutcome::endOfRecording);
    EXPECT_EQ(end.image, patternDib(4, 32, 24));
}

TEST_F(MadeVideo, DueTimesAreTimestampsLessTheFirstOne) {
    testmedia::VideoRecipe recipe;
    recipe.timestamps = {1860, 1940, 2040, 2820, 2900};
    const std::string path = folder.file("variable.mkv");
    testmedia::writeVideo(path, recipe);
    SourceGrabber grabber(path);
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    const std::int64_t expected[] = {0, 80, 180, 960, 1040};
    for (int frame = 0; frame < 5; ++frame) {
        const auto grab = grabber.grabNative(0);
        ASSERT_EQ(grab.outcome, GrabOutcome::delivered);
        EXPECT_EQ(grab.dueNanoseconds, expected[frame] * millisecond) << "frame " << frame;
        EXPECT_EQ(grab.image, patternDib(frame, 32, 24));
    }
}

TEST_F(MadeVideo, GrabAfterASleepDeliversTheFirstFrameDueByThen) {
    SourceGrabber grabber(writeEvenVideo("twenty.mkv", 20));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_EQ(grabber.grabNative(0).image, patternDib(0, 32, 24));
    auto grab = grabber.grabNative(400 * millisecond);
    EXPECT_EQ(grab.dueNanoseconds, 400 * millisecond);
    EXPECT_EQ(grab.image, patternDib(10, 32, 24));
    grab = grabber.grabNative(401 * millisecond);
    EXPECT_EQ(grab.dueNanoseconds, 440 * millisecond);
    EXPECT_EQ(grab.image, patternDib(11, 32, 24));
    // Two grabs in a row get two frames in a row, even early.
    grab = grabber.grabNative(401 * millisecond);
    EXPECT_EQ(grab.dueNanoseconds, 480 * millisecond);
    EXPECT_EQ(grab.image, patternDib(12, 32, 24));
}

TEST_F(MadeVideo, RateOverrideReplacesTheTimestamps) {
    testmedia::VideoRecipe recipe;
    recipe.timestamps = {0, 10, 20, 900, 910, 2000, 2010, 2020};
    const std::string path = folder.file("override.mkv");
    testmedia::writeVideo(path, recipe);
    SourceGrabber grabber(path, platform::FrameRate{10, 1});
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    auto grab = grabber.grabNative(0);
    EXPECT_EQ(grab.dueNanoseconds, 0);
    grab = grabber.grabNative(0);
    EXPECT_EQ(grab.dueNanoseconds, 100 * millisecond);
    EXPECT_EQ(grab.image, patternDib(1, 32, 24));
    grab = grabber.grabNative(350 * millisecond);
    EXPECT_EQ(grab.dueNanoseconds, 400 * millisecond);
    EXPECT_EQ(grab.image, patternDib(4, 32, 24));
}

TEST_F(MadeVideo, ReconnectingContinuesWhereItWas) {
    SourceGrabber grabber(writeEvenVideo("ten.mkv", 10));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    for (int frame = 0; frame < 3; ++frame) grabber.grabNative(0);
    grabber.source->close();
    EXPECT_FALSE(grabber.source->isOpen());
    EXPECT_EQ(grabber.grabNative(0).outcome, GrabOutcome::failed);
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    const auto grab = grabber.grabNative(0);
    EXPECT_EQ(grab.outcome, GrabOutcome::delivered);
    EXPECT_EQ(grab.dueNanoseconds, 120 * millisecond);
    EXPECT_EQ(grab.image, patternDib(3, 32, 24));
}

TEST_F(MadeVideo, ScalesToTheRequestedSize) {
    SourceGrabber grabber(writeEvenVideo("ten.mkv", 10));
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    const auto grab = grabber.grab(0, 15, 7);
    EXPECT_EQ(grab.outcome, GrabOutcome::delivered);
    ASSERT_EQ(grab.image.size(), platform::dibImageBytes(15, 7));
    // Frame 0 is red 7 everywhere; the padding of each 45-byte row is zero.
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(grab.image[static_cast<std::size_t>(row) * 48 + 2], 7);
        EXPECT_EQ(grab.image[static_cast<std::size_t>(row) * 48 + 45], 0);
        EXPECT_EQ(grab.image[static_cast<std::size_t>(row) * 48 + 47], 0);
    }
}

TEST_F(MadeVideo, TruncatedCopyEndsCleanlyAndSaysSoOnce) {
    const std::string whole = writeEvenVideo("whole.mkv", 30);
    auto bytes = testmedia::readBytes(whole);
    bytes.resize(bytes.size() * 6 / 10);
    const std::string cut = folder.file("cut.mkv");
    testmedia::writeBytes(cut, bytes);

    SourceGrabber grabber(cut);
    int delivered = 0;
    std::vector<std::uint8_t> lastImage;
    const auto lines = testmedia::standardErrorLinesOf([&] {
        ASSERT_TRUE(grabber.open()) << grabber.failure;
        for (int grab = 0; grab < 40; ++grab) {
            const auto result = grabber.grabNative(0);
            if (result.outcome != GrabOutcome::delivered) {
                ASSERT_EQ(result.outcome, GrabOutcome::endOfRecording);
                EXPECT_EQ(result.image, lastImage);
                return;
            }
            EXPECT_EQ(result.image, patternDib(delivered, 32, 24));
            lastImage = result.image;
            ++delivered;
        }
        ADD_FAILURE() << "the recording never ended";
    });
    EXPECT_GT(delivered, 5);
    EXPECT_LT(delivered, 30);
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
    for (const auto& line : lines) EXPECT_EQ(line.rfind(cut + ": ", 0), 0u) << line;
}

TEST_F(MadeVideo, CorruptedMiddleNeverFailsAGrab) {
    const std::string whole = writeEvenVideo("whole.mkv", 30);
    auto bytes = testmedia::readBytes(whole);
    for (std::size_t index = bytes.size() / 3; index < bytes.size() / 2; index += 7) bytes[index] ^= 0x5A;
    const std::string damaged = folder.file("damaged.mkv");
    testmedia::writeBytes(damaged, bytes);

    SourceGrabber grabber(damaged);
    std::vector<std::string> lines = testmedia::standardErrorLinesOf([&] {
        ASSERT_TRUE(grabber.open()) << grabber.failure;
        for (int grab = 0; grab < 40; ++grab) {
            const auto result = grabber.grabNative(0);
            ASSERT_NE(result.outcome, GrabOutcome::failed);
            if (result.outcome == GrabOutcome::endOfRecording) return;
        }
        ADD_FAILURE() << "the recording never ended";
    });
    EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()).size(), lines.size());
    EXPECT_LE(lines.size(), 3u);
}

TEST_F(MadeVideo, WithoutAnyFrameItCannotBeOpened) {
    testmedia::VideoRecipe recipe;
    const std::string path = folder.file("empty.mkv");
    testmedia::writeVideo(path, recipe);
    SourceGrabber grabber(path);
    EXPECT_FALSE(grabber.open());
    EXPECT_EQ(grabber.failure.rfind(path + ": ", 0), 0u) << grabber.failure;
    EXPECT_FALSE(grabber.source->isOpen());
}

TEST_F(MadeVideo, UnconvertiblePixelFormatCannotBeOpened) {
    testmedia::VideoRecipe recipe;
    recipe.codec = AV_CODEC_ID_RAWVIDEO;
    recipe.pixelFormat = AV_PIX_FMT_BGR4;
    recipe.timeBase = {1, 25};
    recipe.timestamps = {0, 1, 2};
    const std::string path = folder.file("bgr4.nut");
    testmedia::writeVideo(path, recipe);
    SourceGrabber grabber(path);
    EXPECT_FALSE(grabber.open());
    EXPECT_NE(grabber.failure.find("bgr4"), std::string::npos) << grabber.failure;
}

TEST_F(MadeVideo, BadInputsFailToOpenWithOneLine) {
    testmedia::writeBytes(folder.file("notes.mp4"),
                          {'n', 'o', 't', ' ', 'a', ' ', 'v', 'i', 'd', 'e', 'o', '\n'});
    testmedia::writeBytes(folder.file("nothing.avi"), {});
    for (const std::string& name :
         {folder.file("missing.mp4"), folder.file("notes.mp4"), folder.file("nothing.avi"),
          folder.file("none_%04d.png"), folder.file("no_folder/clip.mkv")}) {
        SourceGrabber grabber(name);
        EXPECT_FALSE(grabber.open()) << name;
        EXPECT_EQ(grabber.failure.rfind(name + ": ", 0), 0u) << grabber.failure;
        EXPECT_GT(grabber.failure.size(), name.size() + 2);
        EXPECT_EQ(grabber.failure.find('\n'), std::string::npos) << grabber.failure;
        EXPECT_FALSE(grabber.source->isOpen());
        std::int64_t due = 0;
        std::vector<std::uint8_t> image(platform::dibImageBytes(8, 8));
        EXPECT_EQ(grabber.source->grab(0, 8, 8, image.data(), due), GrabOutcome::failed);
    }
}

}  // namespace
