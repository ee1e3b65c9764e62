// Image sequences: BMP files written by the test reach the driver unchanged,
// and damaged files are stood in for by the frame before them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>

#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

using platform::GrabOutcome;
using testmedia::SourceGrabber;

constexpr int width = 320;
constexpr int height = 240;
constexpr std::int64_t millisecond = 1'000'000;

class ImageSequence : public ::testing::Test {
protected:
    std::string frameName(int number) const {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%05d.bmp", number);
        return folder.file(name);
    }

    // Random rows, so that any flip, shift or channel swap shows.
    std::vector<std::uint8_t> writeFrame(int number) {
        std::mt19937 random(static_cast<unsigned>(number) + 1);
        std::vector<std::uint8_t> pixels(platform::dibImageBytes(width, height));
        for (auto& byte : pixels) byte = static_cast<std::uint8_t>(random());
        testmedia::writeBmp(frameName(number), width, height, pixels);
        return pixels;
    }

    std::string pattern() const { return folder.file("frame_%05d.bmp"); }

    testmedia::TemporaryFolder folder;
};

TEST_F(ImageSequence, BmpRowsReachTheImageByteForByte) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int number = 0; number < 5; ++number) frames.push_back(writeFrame(number));
    SourceGrabber grabber(pattern());
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_FALSE(grabber.source->isLive());
    EXPECT_EQ(grabber.source->nativeWidth(), width);
    EXPECT_EQ(grabber.source->nativeHeight(), height);
    EXPECT_DOUBLE_EQ(grabber.source->recordingSeconds(), 0.2);
    for (int number = 0; number < 5; ++number) {
        const auto grab = grabber.grabNative(0);
        ASSERT_EQ(grab.outcome, GrabOutcome::delivered);
        EXPECT_EQ(grab.dueNanoseconds, number * 40 * millisecond);
        ASSERT_EQ(grab.image.size(), 230400u);
        EXPECT_TRUE(grab.image == frames[number]) << "frame " << number;
    }
    const auto end = grabber.grabNative(0);
    EXPECT_EQ(end.outcome, GrabOutcome::endOfRecording);
    EXPECT_TRUE(end.image == frames[4]);
}

TEST_F(ImageSequence, RunsAtTwentyFivePerSecondUnlessTold) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int number = 0; number < 40; ++number) frames.push_back(writeFrame(number));
    SourceGrabber standard(pattern());
    ASSERT_TRUE(standard.open()) << standard.failure;
    standard.grabNative(0);
    // A 1000 ms sleep at 25 frames/s skips to last + 25.
    const auto grab = standard.grabNative(1000 * millisecond);
    EXPECT_EQ(grab.dueNanoseconds, 1000 * millisecond);
    EXPECT_TRUE(grab.image == frames[25]);

    SourceGrabber slow(pattern(), platform::FrameRate{5, 1});
    ASSERT_TRUE(slow.open()) << slow.failure;
    EXPECT_DOUBLE_EQ(slow.source->recordingSeconds(), 8.0);
    slow.grabNative(0);
    const auto next = slow.grabNative(0);
    EXPECT_EQ(next.dueNanoseconds, 200 * millisecond);
    EXPECT_TRUE(next.image == frames[1]);
}

TEST_F(ImageSequence, DamagedFilesRepeatTheFrameBeforeUnderTheirOwnNumber) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int number = 0; number < 7; ++number) frames.push_back(writeFrame(number));
    testmedia::writeBytes(frameName(2), {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
    std::filesystem::remove(frameName(3));
    std::filesystem::create_directory(frameName(3));
    testmedia::writeBytes(frameName(4), {});
    const int shows[] = {0, 1, 1, 1, 1, 5, 6};

    SourceGrabber grabber(pattern());
    const auto lines = testmedia::standardErrorLinesOf([&] {
        ASSERT_TRUE(grabber.open()) << grabber.failure;
        for (int number = 0; number < 7; ++number) {
            const auto grab = grabber.grabNative(0);
            ASSERT_EQ(grab.outcome, GrabOutcome::delivered) << "frame " << number;
            EXPECT_EQ(grab.dueNanoseconds, number * 40 * millisecond);
            EXPECT_TRUE(grab.image == frames[shows[number]]) << "frame " << number;
        }
        EXPECT_EQ(grabber.grabNative(0).outcome, GrabOutcome::endOfRecording);
    });
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind(pattern() + ": frame 2 ", 0), 0u) << lines[0];
}

TEST_F(ImageSequence, NumberingMayStartAboveZero) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int number = 3; number < 6; ++number) frames.push_back(writeFrame(number));
    SourceGrabber grabber(pattern());
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    for (const auto& frame : frames) EXPECT_TRUE(grabber.grabNative(0).image == frame);
    EXPECT_EQ(grabber.grabNative(0).outcome, GrabOutcome::endOfRecording);
}

TEST_F(ImageSequence, WithoutADecodableFileItCannotBeOpened) {
    testmedia::writeBytes(frameName(0), {'x'});
    testmedia::writeBytes(frameName(1), {'y', 'z'});
    SourceGrabber grabber(pattern());
    EXPECT_FALSE(grabber.open());
    EXPECT_EQ(grabber.failure.rfind(pattern() + ": ", 0), 0u) << grabber.failure;
}

}  // namespace
