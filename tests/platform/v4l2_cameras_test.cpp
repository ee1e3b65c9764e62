// V4L2 enumeration: only devices that capture video count, in numeric order.
#include "platform/sources/v4l2_cameras.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

TEST(V4l2Cameras, FilesNamedLikeDevicesAreNotCameras) {
    testmedia::TemporaryFolder folder;
    testmedia::writeBytes(folder.file("video0"), {1, 2, 3});
    std::filesystem::create_symlink("/dev/null", folder.file("video1"));
    ASSERT_EQ(::mkfifo(folder.file("video2").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.file("video3"));
    EXPECT_TRUE(platform::findCameras(folder.file("")).empty());
}

TEST(V4l2Cameras, AMissingFolderHasNoCameras) {
    EXPECT_TRUE(platform::findCameras("/nonexistent/tavo/dev").empty());
}

std::vector<platform::CameraDevice> machineCameras() { return platform::findCameras(); }

TEST(V4l2Cameras, MachineCamerasComeInNumericOrder) {
    const auto cameras = machineCameras();
    if (cameras.empty()) GTEST_SKIP() << "no V4L2 camera on this machine";
    const std::regex devicePath("/dev/video([0-9]+)");
    long previous = -1;
    for (const auto& camera : cameras) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(camera.path, match, devicePath)) << camera.path;
        const long number = std::stol(match[1]);
        EXPECT_GT(number, previous);
        previous = number;
        EXPECT_FALSE(camera.cardName.empty());
    }
}

TEST(V4l2Cameras, FirstCameraDeliversLivePictures) {
    const auto cameras = machineCameras();
    if (cameras.empty()) GTEST_SKIP() << "no V4L2 camera on this machine";
    testmedia::SourceGrabber grabber(cameras.front().path);
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_TRUE(grabber.source->isLive());
    EXPECT_GT(grabber.source->nativeWidth(), 0);
    const auto grab = grabber.grab(777, 320, 240);
    EXPECT_EQ(grab.outcome, platform::GrabOutcome::delivered);
    EXPECT_EQ(grab.dueNanoseconds, 777);
}

TEST(V4l2Cameras, MissingCameraFailsToOpen) {
    testmedia::SourceGrabber grabber("/dev/video987");
    EXPECT_FALSE(grabber.open());
    EXPECT_EQ(grabber.failure.rfind("/dev/video987: ", 0), 0u) << grabber.failure;
    EXPECT_TRUE(grabber.source->isLive());
}

}  // namespace
