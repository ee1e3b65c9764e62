#include <gtest/gtest.h>

#include <cstring>

#include "capture/capture_device.h"
#include "platform/clock/clock.h"
#include "support/program_fixture.h"

namespace {

using capture::CaptureDevice;
using capture::captureDevice;
using namespace platform;
using testing_support::ProgramTest;
using testing_support::uniformFrame;

BITMAPINFOHEADER header(LONG width, LONG height, WORD bitCount, DWORD sizeImage = 0, DWORD colours = 0) {
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = bitCount;
    h.biSizeImage = sizeImage;
    h.biClrUsed = colours;
    return h;
}

TEST(DibSizes, RowsAreNotRoundedAndTheHeightKeepsItsSign) {
    const BITMAPINFOHEADER wide = header(321, 240, 24);
    EXPECT_EQ(CaptureDevice::dibImageSize(&wide), 231120);
    const BITMAPINFOHEADER topDown = header(321, -240, 24);
    EXPECT_EQ(CaptureDevice::dibImageSize(&topDown), -231120);
    const BITMAPINFOHEADER declared = header(320, 240, 24, 230400);
    EXPECT_EQ(CaptureDevice::dibImageSize(&declared), 230400);
}

TEST(DibSizes, ColourTableEntriesFollowTheHeader) {
    const BITMAPINFOHEADER palette = header(320, 240, 24, 0, 16);
    EXPECT_EQ(CaptureDevice::dibHeaderSize(&palette), 104u);
    BITMAPINFOHEADER noSize = header(320, 240, 24);
    noSize.biSize = 0;
    EXPECT_EQ(CaptureDevice::dibHeaderSize(&noSize), 40u);
}

class GrabTest : public ProgramTest {
protected:
    // A camera of one gray frame, connected, and its first grab made.
    testing_support::ScriptedSource& connectAndGrabOnce() {
        auto& source = installScriptedDriver();
        source.add(uniformFrame(10));
        EXPECT_NE(captureDevice.connect(0), 0);
        EXPECT_NE(captureDevice.grabFrame(&dib, 0, &size), 0);
        takeConsole();
        return source;
    }
    std::uint8_t* dib = nullptr;
    std::uint32_t size = 0;
};

TEST_F(GrabTest, FirstGrabAllocatesAndPausesLaterGrabsDoNot) {
    auto& source = installScriptedDriver();
    source.add(uniformFrame(10));
    source.add(uniformFrame(20));
    ASSERT_NE(captureDevice.connect(0), 0);
    takeConsole();

    const std::int64_t before = clock::nowNanoseconds();
    ASSERT_NE(captureDevice.grabFrame(&dib, 0, &size), 0);
    EXPECT_EQ(takeConsole(), "alloc size 230440\n");
    EXPECT_EQ(clock::nowNanoseconds() - before, 5'000'000'000);
    EXPECT_EQ(size, 230440u);
    ASSERT_NE(dib, nullptr);
    BITMAPINFOHEADER inBuffer;
    std::memcpy(&inBuffer, dib, sizeof inBuffer);
    EXPECT_EQ(inBuffer.biWidth, 320);
    EXPECT_EQ(dib[40], 10);
    EXPECT_EQ(dib[40 + 230399], 10);

    std::uint8_t* const first = dib;
    ASSERT_NE(captureDevice.grabFrame(&dib, 0, &size), 0);
    EXPECT_EQ(takeConsole(), "");
    EXPECT_EQ(dib, first);
    EXPECT_EQ(dib[40], 20);
}

TEST_F(GrabTest, FailingGrabCostsFifteenSecondsAndReportsSizeZero) {
    connectAndGrabOnce().failNextGrabs(1);
    const std::int64_t before = clock::nowNanoseconds();
    EXPECT_EQ(captureDevice.grabFrame(&dib, 0, &size), 0);
    EXPECT_EQ(takeConsole(), "grab frame error!!!!!!!!!!\ncapgrabframe error\n");
    EXPECT_EQ(clock::nowNanoseconds() - before, 15'000'000'000);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(captureDevice.errorCodeNow(), 1);
}

TEST_F(GrabTest, AfterDisconnectTheSizeIsJustTheHeaderAndTheGrabFailsOnTheMissingWindow) {
    connectAndGrabOnce();
    captureDevice.disconnect();
    takeConsole();
    EXPECT_EQ(captureDevice.prepareDib(nullptr, &size), 1);
    EXPECT_EQ(size, 40u);
    EXPECT_EQ(captureDevice.grabFrame(&dib, 0, &size), 0);
    EXPECT_EQ(takeConsole(), "grab frame error!!!!!!!!!!\ncapgrabframe error\n");
}

TEST_F(GrabTest, ANeverConnectedDeviceAllocatesThenFailsOnTheMissingWindow) {
    CaptureDevice device;
    size = 77;
    // A zero header still gives 40 bytes of header: allocation, then the
    // grab message fails on the missing window.
    const std::int64_t before = clock::nowNanoseconds();
    EXPECT_EQ(device.grabFrame(&dib, 0, &size), 0);
    EXPECT_EQ(takeConsole(), "alloc size 40\ngrab frame error!!!!!!!!!!\ncapgrabframe error\n");
    EXPECT_EQ(clock::nowNanoseconds() - before, 20'000'000'000);
    EXPECT_EQ(device.errorCodeNow(), 1);
}

TEST_F(GrabTest, FrameCallbackOutsideAGrabCopiesNothing) {
    auto& source = installScriptedDriver();
    source.add(uniformFrame(10));
    ASSERT_NE(captureDevice.connect(0), 0);
    std::uint8_t bytes[4] = {1, 2, 3, 4};
    VIDEOHDR frame{};
    frame.lpData = bytes;
    frame.dwBytesUsed = sizeof bytes;
    EXPECT_EQ(CaptureDevice::onCaptureFrame(captureDevice.windowHandle(), &frame), 1);
    HWND stranger = capCreateCaptureWindowA(nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, 0);
    EXPECT_EQ(CaptureDevice::onCaptureFrame(stranger, &frame), 0);
}

}  // namespace
