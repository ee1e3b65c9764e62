// A network camera on 127.0.0.1: the source reads an MJPEG stream from a
// server in the test, fails its grabs while the server is gone, and recovers
// by itself once the server is back on the same port.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/clock/clock.h"
#include "support/mjpeg_server.h"
#include "support/source_grabber.h"
#include "support/test_media.h"

namespace {

using platform::GrabOutcome;
using testmedia::MjpegServer;
using testmedia::SourceGrabber;

constexpr int width = 64;
constexpr int height = 48;

// Grabs every 50 ms until a grab ends as `wanted`, for at most `seconds`.
std::optional<testmedia::Grab> grabUntil(SourceGrabber& grabber, GrabOutcome wanted, int seconds) {
    const std::int64_t giveUp = platform::clock::nowNanoseconds() + seconds * 1'000'000'000LL;
    while (platform::clock::nowNanoseconds() < giveUp) {
        auto grab = grabber.grab(platform::clock::nowNanoseconds(), width, height);
        if (grab.outcome == wanted) return grab;
        platform::clock::sleepMilliseconds(50);
    }
    return std::nullopt;
}

class NetworkSource : public ::testing::Test {
protected:
    void SetUp() override { platform::clock::resetClock(); }
};

TEST_F(NetworkSource, DeliversTheStreamAndRecoversAfterTheServerComesBack) {
    auto server = std::make_unique<MjpegServer>(testmedia::flatJpeg(width, height, 60), 0);
    ASSERT_TRUE(server->listening());
    const int port = server->port();
    const std::string url = server->url();

    SourceGrabber grabber(url);
    std::vector<std::string> lines = testmedia::standardErrorLinesOf([&] {
        ASSERT_TRUE(grabber.open()) << grabber.failure;
        EXPECT_TRUE(grabber.source->isLive());
        EXPECT_EQ(grabber.source->nativeWidth(), width);
        EXPECT_EQ(grabber.source->nativeHeight(), height);
        EXPECT_EQ(grabber.source->recordingSeconds(), 0.0);

        const auto first = grabber.grab(12'345, width, height);
        ASSERT_EQ(first.outcome, GrabOutcome::delivered);
        EXPECT_EQ(first.dueNanoseconds, 12'345);
        EXPECT_NEAR(testmedia::meanLevel(first.image), 60.0, 6.0);

        server->stop();
        ASSERT_TRUE(grabUntil(grabber, GrabOutcome::failed, 8)) << "grabs went on after the server stopped";
        // The server is still away: the next grab fails at once.
        const std::int64_t before = platform::clock::nowNanoseconds();
        EXPECT_EQ(grabber.grab(0, width, height).outcome, GrabOutcome::failed);
        EXPECT_LT(platform::clock::nowNanoseconds() - before, 1'000'000'000);

        server = std::make_unique<MjpegServer>(testmedia::flatJpeg(width, height, 200), port);
        ASSERT_TRUE(server->listening());
        const auto back = grabUntil(grabber, GrabOutcome::delivered, 10);
        ASSERT_TRUE(back) << "the source did not recover";
        EXPECT_NEAR(testmedia::meanLevel(back->image), 200.0, 6.0);
        EXPECT_TRUE(grabber.source->isOpen());
        server->stop();
    });
    const auto mentions = [&](const std::string& text) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.rfind(url + ": ", 0) == 0 && line.find(text) != std::string::npos;
        });
    };
    EXPECT_EQ(mentions("stopped delivering"), 1);
    EXPECT_EQ(mentions("delivers again"), 1);
}

TEST_F(NetworkSource, GrabGivesTheNewestPictureNotTheBufferedOnes) {
    MjpegServer server(testmedia::flatJpeg(width, height, 60), 0);
    ASSERT_TRUE(server.listening());
    SourceGrabber grabber(server.url());
    ASSERT_TRUE(grabber.open()) << grabber.failure;
    EXPECT_NEAR(testmedia::meanLevel(grabber.grab(0, width, height).image), 60.0, 6.0);
    // About 25 pictures at level 60 pile up unread, then a few at 200.
    platform::clock::sleepMilliseconds(1000);
    server.show(testmedia::flatJpeg(width, height, 200));
    platform::clock::sleepMilliseconds(200);
    const std::int64_t before = platform::clock::nowNanoseconds();
    const auto grab = grabber.grab(0, width, height);
    EXPECT_LT(platform::clock::nowNanoseconds() - before, 500'000'000);
    ASSERT_EQ(grab.outcome, GrabOutcome::delivered);
    EXPECT_NEAR(testmedia::meanLevel(grab.image), 200.0, 6.0);
    server.stop();
}

TEST_F(NetworkSource, AServerThatSendsNothingFailsTheOpenWithinSeconds) {
    MjpegServer server(testmedia::flatJpeg(width, height, 60), 0, MjpegServer::Mode::silent);
    ASSERT_TRUE(server.listening());
    SourceGrabber grabber(server.url());
    const std::int64_t before = platform::clock::nowNanoseconds();
    EXPECT_FALSE(grabber.open());
    EXPECT_LT(platform::clock::nowNanoseconds() - before, 8'000'000'000);
    EXPECT_EQ(grabber.failure.rfind(server.url() + ": ", 0), 0u) << grabber.failure;
}

TEST_F(NetworkSource, NobodyListeningFailsTheOpen) {
    int port = 0;
    {
        MjpegServer server({}, 0);
        ASSERT_TRUE(server.listening());
        port = server.port();
    }
    SourceGrabber grabber("http://127.0.0.1:" + std::to_string(port) + "/camera.mjpg");
    EXPECT_FALSE(grabber.open());
    EXPECT_FALSE(grabber.source->isOpen());
    EXPECT_NE(grabber.failure.find("Connection refused"), std::string::npos) << grabber.failure;
}

}  // namespace
