#include "platform/sources/source_kind.h"

#include <gtest/gtest.h>

namespace {

using platform::SourceKind;

TEST(SourceKind, NamesAreSortedByTheirForm) {
    EXPECT_EQ(platform::kindOfSource("clips/road.mp4"), SourceKind::videoFile);
    EXPECT_EQ(platform::kindOfSource("file:///clips/road.mp4"), SourceKind::videoFile);
    EXPECT_EQ(platform::kindOfSource("frames/%05d.bmp"), SourceKind::imageSequence);
    EXPECT_EQ(platform::kindOfSource("/dev/video0"), SourceKind::camera);
    EXPECT_EQ(platform::kindOfSource("/dev/video12"), SourceKind::camera);
    EXPECT_EQ(platform::kindOfSource("rtsp://10.0.0.5/stream"), SourceKind::network);
    EXPECT_EQ(platform::kindOfSource("http://cam.local/video.mjpg?name=a%20b"), SourceKind::network);
    EXPECT_EQ(platform::kindOfSource("udp://127.0.0.1:5000"), SourceKind::network);
}

TEST(SourceKind, CamerasAndNetworkStreamsAreLive) {
    EXPECT_TRUE(platform::isLiveKind(SourceKind::camera));
    EXPECT_TRUE(platform::isLiveKind(SourceKind::network));
    EXPECT_FALSE(platform::isLiveKind(SourceKind::videoFile));
    EXPECT_FALSE(platform::isLiveKind(SourceKind::imageSequence));
}

TEST(SourceKind, LiveInputsHaveAWaitLimit) {
    const auto network = platform::inputRequestFor("http://127.0.0.1:1/x", SourceKind::network, {25, 1});
    EXPECT_GT(network.waitLimitNanoseconds, 0);
    EXPECT_LE(network.waitLimitNanoseconds, 10'000'000'000);
    const auto camera = platform::inputRequestFor("/dev/video0", SourceKind::camera, {25, 1});
    EXPECT_EQ(camera.formatName, "video4linux2");
    EXPECT_TRUE(camera.nonBlocking);
    EXPECT_GT(camera.waitLimitNanoseconds, 0);
    const auto file = platform::inputRequestFor("a.mp4", SourceKind::videoFile, {25, 1});
    EXPECT_EQ(file.waitLimitNanoseconds, 0);
}

TEST(SourceKind, SequencesUseImage2AtTheirRate) {
    const auto sequence = platform::inputRequestFor("f/%03d.png", SourceKind::imageSequence, {30000, 1001});
    EXPECT_EQ(sequence.formatName, "image2");
    bool rateGiven = false;
    for (const auto& [key, value] : sequence.options)
        rateGiven |= key == "framerate" && value == "30000/1001";
    EXPECT_TRUE(rateGiven);
}

}  // namespace
