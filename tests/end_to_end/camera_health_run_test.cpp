// A network camera that stops and comes back: /status.json says so as it
// happens, while the watching thread sits in its pauses after failed grabs.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "support/http_client.h"
#include "support/json_value.h"
#include "support/mjpeg_server.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"
#include "support/test_media.h"

namespace {

using namespace testing_support;
using Clock = std::chrono::steady_clock;
using testmedia::MjpegServer;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Reads /status.json every 100 ms until `wanted` holds, for at most `seconds`.
std::optional<JsonValue> statusWhen(int port, double seconds,
                                    const std::function<bool(const JsonValue&)>& wanted) {
    const auto start = Clock::now();
    while (secondsSince(start) < seconds) {
        const auto status = parseJson(bodyOf(get(port, "/status.json")));
        if (status && wanted(*status)) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
}

bool inState(const JsonValue& status, const std::string& state) {
    return status["sourceState"].text == state;
}

TEST(CameraHealthRun, AStoppedCameraIsLostAtOnceAndDeliveringAgainWhenItIsBack) {
    auto camera = std::make_unique<MjpegServer>(testmedia::flatJpeg(320, 240, 90), 0);
    ASSERT_TRUE(camera->listening());
    const int cameraPort = camera->port();
    const std::string url = camera->url();
    const int port = freePort();
    ScratchDirectory scratch;
    std::optional<JsonValue> delivering, lost, back;
    double secondsToLost = -1;
    std::thread watcher([&] {
        if (!waitForListener(port, 10)) return;
        delivering = statusWhen(port, 15, [](const JsonValue& s) { return inState(s, "delivering"); });
        if (!delivering) return;
        camera->stop();
        const auto stopped = Clock::now();
        lost = statusWhen(port, 10,
                          [](const JsonValue& s) { return s["lostSince"].kind != JsonValue::Kind::null; });
        secondsToLost = secondsSince(stopped);
        camera = std::make_unique<MjpegServer>(testmedia::flatJpeg(320, 240, 200), cameraPort);
        back = statusWhen(port, 30, [](const JsonValue& s) { return inState(s, "delivering"); });
    });
    const ProgramRun run = runProgram({"0", "--source", url, "--headless", "--listen", std::to_string(port)},
                                      scratch.path(), 45);
    watcher.join();

    ASSERT_TRUE(delivering) << run.standardError;
    EXPECT_EQ(delivering->operator[]("reconnects").text, "0");
    EXPECT_EQ(delivering->operator[]("lostSince").kind, JsonValue::Kind::null);
    EXPECT_EQ(delivering->operator[]("lastFrameTime").kind, JsonValue::Kind::string);
    ASSERT_TRUE(lost) << run.standardError;
    EXPECT_LT(secondsToLost, 6);
    EXPECT_TRUE(inState(*lost, "lost") || inState(*lost, "reconnecting"))
        << lost->operator[]("sourceState").text;
    EXPECT_EQ(lost->operator[]("lostSince").text.size(), std::string("2026-12-09T23:10:04Z").size());
    ASSERT_TRUE(back) << run.standardError;
    EXPECT_EQ(back->operator[]("reconnects").text, "1");
    EXPECT_GE(back->operator[]("lastFrameTime").text, lost->operator[]("lostSince").text);
    // Standard error tells the journal the same.
    EXPECT_NE(run.standardError.find(url + ": stopped delivering"), std::string::npos) << run.standardError;
    EXPECT_NE(run.standardError.find(url + ": delivers again"), std::string::npos) << run.standardError;
    EXPECT_EQ(run.exitStatus, 0);
}

TEST(CameraHealthRun, ACameraThatDoesNotConnectIsSaidOnStandardError) {
    ScratchDirectory scratch;
    const std::string url = "http://127.0.0.1:" + std::to_string(freePort()) + "/camera.mjpg";
    const ProgramRun run = runProgram({"0", "--source", url, "--headless"}, scratch.path());
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_NE(run.standardError.find("not connected: " + url + ": Connection refused\n"), std::string::npos)
        << run.standardError;
}

}  // namespace
