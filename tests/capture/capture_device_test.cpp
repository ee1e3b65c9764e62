#include "capture/capture_device.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/clock/clock.h"
#include "platform/console/console.h"
#include "support/program_fixture.h"

namespace {

using capture::CaptureDevice;
using capture::captureDevice;
using namespace platform;
using testing_support::ProgramTest;

constexpr const char* connectTrace =
    "Set Driver Index 0\n"
    "Index 0  devicename [scripted scene]\n"
    "connecting to camera\n"
    "get format 1 width %d height %d\n"
    "set driver width 320 height 240\n"
    "get format 2 width 320 height 240\n"
    "get format 3 width 320 height 240\n";

std::string expectedConnectTrace(int width, int height) {
    char text[512];
    std::snprintf(text, sizeof text, connectTrace, width, height);
    return text;
}

class CaptureDeviceTest : public ProgramTest {};

TEST_F(CaptureDeviceTest, ConnectForcesThreeTwentyByTwoFortyAndReportsEachFormat) {
    installScriptedDriver(0, 640, 480);
    EXPECT_NE(captureDevice.connect(0), 0);
    EXPECT_EQ(takeConsole(), expectedConnectTrace(640, 480));
    EXPECT_EQ(captureDevice.driverIndexNow(), 0);
    const BITMAPINFOHEADER& header = captureDevice.cachedHeaderNow();
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 320);
    EXPECT_EQ(header.biHeight, 240);
    EXPECT_EQ(header.biBitCount, 24);
    // The driver recomputes the image size for the new format.
    EXPECT_EQ(header.biSizeImage, 230400u);
}

TEST_F(CaptureDeviceTest, ConnectOnAConnectedDeviceStartsFromAFreshWindow) {
    installScriptedDriver();
    ASSERT_NE(captureDevice.connect(0), 0);
    HWND first = captureDevice.windowHandle();
    ASSERT_TRUE(IsWindow(first));
    ASSERT_NE(captureDevice.connect(0), 0);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(captureDevice.windowHandle()));
    EXPECT_NE(first, captureDevice.windowHandle());
    // The old window no longer names the device.
    EXPECT_EQ(SendMessageA(first, WM_CAP_GET_USER_DATA, 0, 0), 0);
}

TEST_F(CaptureDeviceTest, MissingDriverEndsTheProcessAfterFourLinesAndFiveSeconds) {
    // The child prints the trace to standard error so the death test can read
    // it, and reports the clock from an exit handler.
    EXPECT_EXIT(
        {
            platform::console::captureInto(nullptr);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            platform::console::open();
            std::atexit([] {
                std::fprintf(stderr, "clock %lld\n", static_cast<long long>(clock::nowNanoseconds()));
            });
            captureDevice.connect(7);
        },
        ::testing::ExitedWithCode(255),
        "^Set Driver Index 7\nIndex 7  devicename \\[\\]\nconnecting to camera\ncamera not connected!!!\n"
        "clock 5000000000\n$");
}

TEST_F(CaptureDeviceTest, DriverIndexIsSignedSixteenBit) {
    CaptureDevice device;
    EXPECT_EXIT(
        {
            platform::console::captureInto(nullptr);
            dup2(STDERR_FILENO, STDOUT_FILENO);
            platform::console::open();
            device.connect(static_cast<std::int16_t>(65535));
        },
        ::testing::ExitedWithCode(255), "^Set Driver Index -1\nIndex -1  devicename \\[\\]\n");
}

TEST_F(CaptureDeviceTest, LongDriverErrorTextIsCutTo99Characters) {
    installScriptedDriver();
    ASSERT_NE(captureDevice.connect(0), 0);
    const std::string longText(150, 'x');
    EXPECT_EQ(CaptureDevice::onCaptureError(captureDevice.windowHandle(), 42, longText.c_str()), 1);
    int code = 0;
    char text[100];
    std::memset(text, 'y', sizeof text);
    captureDevice.queryError(&code, text, 1);
    EXPECT_EQ(code, 42);
    EXPECT_EQ(std::string(text), std::string(99, 'x'));
    // Fetched and cleared in one call.
    captureDevice.queryError(&code, text, 0);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(text[0], '\0');
}

TEST_F(CaptureDeviceTest, ErrorCallbackOnAWindowWithoutUserDataRecordsNothing) {
    installScriptedDriver();
    ASSERT_NE(captureDevice.connect(0), 0);
    HWND stranger = capCreateCaptureWindowA(nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, 0);
    ASSERT_NE(stranger, nullptr);
    EXPECT_EQ(CaptureDevice::onCaptureError(stranger, 9, "lost"), 1);
    EXPECT_EQ(captureDevice.errorCodeNow(), 0);
    EXPECT_STREQ(captureDevice.errorTextNow(), "");
}

TEST_F(CaptureDeviceTest, DisconnectOnAnIdleDeviceOnlyResetsFields) {
    CaptureDevice device;
    device.disconnect();
    EXPECT_EQ(device.windowHandle(), nullptr);
    EXPECT_EQ(device.driverIndexNow(), -1);
    EXPECT_EQ(device.cachedHeaderNow().biWidth, 0);
    EXPECT_EQ(takeConsole(), "");
}

TEST_F(CaptureDeviceTest, SelfAssignmentChangesNothing) {
    installScriptedDriver();
    ASSERT_NE(captureDevice.connect(0), 0);
    HWND window = captureDevice.windowHandle();
    CaptureDevice& same = captureDevice;
    captureDevice = same;
    EXPECT_EQ(captureDevice.windowHandle(), window);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(CaptureDeviceTest, AssignmentReconnectsToTheSourcesDriver) {
    installScriptedDriver(3);
    ASSERT_NE(captureDevice.connect(3), 0);
    CaptureDevice copy;
    copy = captureDevice;
    EXPECT_EQ(copy.driverIndexNow(), 3);
    EXPECT_TRUE(IsWindow(copy.windowHandle()));
    EXPECT_NE(copy.windowHandle(), captureDevice.windowHandle());
    EXPECT_EQ(copy.errorCodeNow(), 0);
    copy.disconnect();
}

TEST_F(CaptureDeviceTest, AssignmentFromAnIdleDeviceLeavesTheTargetIdle) {
    installScriptedDriver();
    CaptureDevice target;
    ASSERT_NE(target.connect(0), 0);
    const CaptureDevice idle;
    target = idle;
    EXPECT_EQ(target.windowHandle(), nullptr);
    EXPECT_EQ(target.driverIndexNow(), -1);
    EXPECT_EQ(target.errorCodeNow(), 0);
}

}  // namespace
