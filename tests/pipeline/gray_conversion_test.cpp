#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "capture/capture_device.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/clock/clock.h"
#include "support/allocation_counter.h"
#include "support/program_fixture.h"

namespace {

using namespace pipeline;
using testing_support::Frame;
using testing_support::ProgramTest;

TEST(GrayValue, BlueWeighsTwoGreenFiveRedOne) {
    EXPECT_EQ(grayOf(255, 0, 0), 63);
    EXPECT_EQ(grayOf(0, 255, 0), 159);
    EXPECT_EQ(grayOf(0, 0, 255), 31);
    EXPECT_EQ(grayOf(255, 255, 255), 255);
    EXPECT_EQ(grayOf(10, 20, 30), 18);
    for (int v = 0; v < 256; ++v) {
        const auto level = static_cast<std::uint8_t>(v);
        ASSERT_EQ(grayOf(level, level, level), level);
    }
}

TEST(GrayConversion, TheWholePixelSequenceIsReversed) {
    // Memory order p0, p1 (bottom row), p2, p3 (top row).
    const std::uint8_t pixels[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
    std::uint8_t gray[4] = {};
    std::uint8_t copy[4] = {};
    convertReversed(pixels, 4, gray, copy);
    EXPECT_EQ(std::vector<std::uint8_t>(gray, gray + 4), (std::vector<std::uint8_t>{18, 31, 159, 63}));
    EXPECT_EQ(std::vector<std::uint8_t>(copy, copy + 4), (std::vector<std::uint8_t>{18, 31, 159, 63}));
}

TEST(GrayConversion, LongRunsMatchThePixelByPixelRule) {
    std::vector<std::uint8_t> pixels(3 * 1000);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 37 + i / 7);
    std::vector<std::uint8_t> gray(1000), copy(1000);
    convertReversed(pixels.data(), 1000, gray.data(), copy.data());
    for (std::size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(gray[999 - i], grayOf(pixels[3 * i], pixels[3 * i + 1], pixels[3 * i + 2])) << i;
    }
    EXPECT_EQ(gray, copy);
}

TEST(GrayConversion, TheVectorPathAgreesWithTheOnePixelPathAtEveryLength) {
    std::vector<std::uint8_t> pixels(3 * 1100);
    std::uint64_t state = 12345;
    for (auto& byte : pixels) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        byte = static_cast<std::uint8_t>(state >> 56);
    }
    for (const std::int32_t count : {0, 1, 31, 32, 33, 95, 96, 97, 1000, 1100}) {
        std::vector<std::uint8_t> fast(1100, 7), fastCopy(1100, 7), slow(1100, 7), slowCopy(1100, 7);
        convertReversed(pixels.data(), count, fast.data(), fastCopy.data());
        convertReversedOnePixelAtATime(pixels.data(), count, slow.data(), slowCopy.data());
        ASSERT_EQ(fast, slow) << count;
        ASSERT_EQ(fastCopy, slowCopy) << count;
    }
}

class AcquisitionTest : public ProgramTest {
protected:
    testing_support::ScriptedSource& connectScripted(int width = 320, int height = 240) {
        auto& source = installScriptedDriver(0, width, height);
        EXPECT_NE(capture::captureDevice.connect(0), 0);
        takeConsole();
        return source;
    }
};

TEST_F(AcquisitionTest, AFrameBecomesTheMirroredGrayImage) {
    auto& source = connectScripted();
    std::vector<std::uint8_t> gray(320 * 240);
    for (std::size_t i = 0; i < gray.size(); ++i) gray[i] = static_cast<std::uint8_t>(i % 251);
    source.add(testing_support::frameFromGray(gray, 320, 240));
    acquireFrame();
    EXPECT_EQ(frameImage.width, 320);
    EXPECT_EQ(frameImage.height, 240);
    EXPECT_EQ(pixelCount, 76800);
    EXPECT_EQ(frameCount, 1);
    EXPECT_TRUE(std::equal(gray.begin(), gray.end(), currentImage.begin()));
    EXPECT_TRUE(std::equal(gray.begin(), gray.end(), grayFrame.begin()));
    // Behind the frame the buffers keep what they held.
    EXPECT_EQ(currentImage[76800], 0);
}

TEST_F(AcquisitionTest, AFailedFirstGrabLeavesGrayZeroButCountsTheFrame) {
    auto& source = connectScripted();
    source.failNextGrabs(1);
    acquireFrame();
    EXPECT_EQ(takeConsole(),
              "alloc size 230440\ngrab frame error!!!!!!!!!!\ncapgrabframe error\ncapture dib error\n");
    EXPECT_EQ(pixelCount, 0);
    EXPECT_EQ(frameCount, 1);
    EXPECT_EQ(currentImage[0], 0);
}

TEST_F(AcquisitionTest, NoAllocationPerFrameAfterTheFirstGrab) {
    auto& source = connectScripted();
    source.add(testing_support::uniformFrame(100));
    acquireFrame();
    const std::size_t before = testing_support::allocationsSoFar();
    for (int i = 0; i < 300; ++i) acquireFrame();
    EXPECT_EQ(testing_support::allocationsSoFar(), before);
    EXPECT_EQ(frameCount, 301);
}

TEST_F(AcquisitionTest, FrameRateUpdatesOnlyAfterMoreThanOneSecond) {
    auto& source = connectScripted();
    source.add(testing_support::uniformFrame(100));
    acquireFrame();  // allocation: the clock is now 5 s on
    lastFpsTime = 10.0;
    framesAtLastFps = frameCount;
    platform::clock::sleepUntil(11'000'000'000);
    acquireFrame();
    EXPECT_EQ(fps, 0) << "exactly one second does not update";
    EXPECT_EQ(lastFpsTime, 10.0);

    framesAtLastFps = frameCount - 29;  // 30 frames by the next acquisition
    platform::clock::sleepUntil(11'500'000'000);
    acquireFrame();
    EXPECT_EQ(fps, 20);
    EXPECT_EQ(lastFpsTime, 11.5);
    EXPECT_EQ(framesAtLastFps, frameCount);

    framesAtLastFps = frameCount - 30;  // 31 frames in 1.6 s
    platform::clock::sleepUntil(13'100'000'000);
    acquireFrame();
    EXPECT_EQ(fps, 19);
}

TEST_F(AcquisitionTest, FrameCounterWrapsOnlyPastOneBillionAtAnUpdate) {
    auto& source = connectScripted();
    source.add(testing_support::uniformFrame(100));
    acquireFrame();
    frameCount = 999999999;
    framesAtLastFps = frameCount;
    lastFpsTime = now - 2.0;
    acquireFrame();
    EXPECT_EQ(frameCount, 1000000000);

    lastFpsTime = now - 2.0;
    acquireFrame();
    EXPECT_EQ(frameCount, 0);
    EXPECT_EQ(framesAtLastFps, 0);
}

TEST_F(AcquisitionTest, OversizedOrForeignFramesAreRefusedWithoutTouchingMemory) {
    auto& source = connectScripted();
    source.add(testing_support::uniformFrame(100));
    acquireFrame();
    // A header that claims a frame far larger than the gray images.
    platform::BITMAPINFOHEADER huge{};
    huge.biSize = 40;
    huge.biWidth = 4000;
    huge.biHeight = 4000;
    huge.biBitCount = 24;
    std::memcpy(frameImage.dib, &huge, sizeof huge);
    frameImage.width = 0;
    frameImage.height = 0;
    frameImage.update();  // the grab rewrites the header from the device
    EXPECT_EQ(frameImage.width, 320);
}

}  // namespace
