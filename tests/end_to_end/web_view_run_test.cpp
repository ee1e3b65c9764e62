// The program with its web view: start-up refusals, a busy server beside a
// replay that prints what it prints without one, and a clean stop.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/http/listen_address.h"
#include "support/fault_scene.h"
#include "support/http_client.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

using namespace testing_support;

std::vector<std::string> withArguments(std::vector<std::string> arguments,
                                       const std::vector<std::string>& more) {
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
}

std::string afterFirstLine(const std::string& text) { return text.substr(text.find('\n') + 1); }

// The grey levels of the last whole JPEG of a stream, row by row; empty when
// there is none or it does not decode.
struct Luma {
    int width = 0;
    std::vector<std::uint8_t> levels;
    int at(int x, int y) const { return levels[static_cast<std::size_t>(y) * width + x]; }
};

Luma lastPictureOf(const std::string& stream) {
    Luma luma;
    const std::size_t end = stream.rfind("\xFF\xD9");
    const std::size_t start = end == std::string::npos ? end : stream.rfind("\xFF\xD8", end);
    if (start == std::string::npos) return luma;
    AVCodecContext* decoder = avcodec_alloc_context3(avcodec_find_decoder(AV_CODEC_ID_MJPEG));
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (avcodec_open2(decoder, nullptr, nullptr) >= 0 &&
        av_new_packet(packet, static_cast<int>(end + 2 - start)) >= 0) {
        std::memcpy(packet->data, stream.data() + start, end + 2 - start);
        if (avcodec_send_packet(decoder, packet) >= 0 && avcodec_receive_frame(decoder, frame) >= 0) {
            luma.width = frame->width;
            for (int y = 0; y < frame->height; ++y) {
                const std::uint8_t* row =
                    frame->data[0] + static_cast<std::ptrdiff_t>(y) * frame->linesize[0];
                luma.levels.insert(luma.levels.end(), row, row + frame->width);
            }
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    return luma;
}

TEST(WebViewRun, ListeningProblemsAreUsageErrorsBeforeAnyTrace) {
    ScratchDirectory scratch;
    scratch.write("auth", "watcher:pass\n");
    ::chmod("auth", 0644);
    const int port = freePort();
    std::string failure;
    const int taken =
        platform::http::openListener(*platform::http::parseListenAddress("0", failure), failure);
    const std::string takenPort = platform::http::boundAddressText(taken).substr(10);
    for (const auto& [more, reason] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--listen", takenPort}, "Address already in use"},
             {{"--listen", std::to_string(port), "--listen-auth", "auth"},
              "may be read or written by others"},
             {{"--listen", "999999"}, "port from 0 to 65535"},
             {{"--listen", "example.org:80"}, "not an IPv4 address"},
             {{"--listen-auth", "auth"}, "--listen-auth needs --listen"}}) {
        const auto run = runProgram(withArguments({"0", "--source", "synthetic:1"}, more), scratch.path());
        EXPECT_EQ(run.exitStatus, 2) << reason;
        EXPECT_EQ(run.standardOutput, "");
        EXPECT_NE(run.standardError.find(reason), std::string::npos) << run.standardError;
    }
    ::close(taken);
}

TEST(WebViewRun, TheTraceIsTheSameWhileClientsComeAndGo) {
    const auto scene = fastSceneFor("300");
    const ProgramRun alone = runProgram(scene, ScratchDirectory().path());
    ScratchDirectory scratch;
    const int port = freePort();
    std::atomic<bool> running{true};
    std::atomic<int> answered{0};
    std::atomic<int> malformed{0};
    std::thread clients([&] {
        if (!waitForListener(port, 10)) return;
        while (running) {
            for (const std::string path :
                 {"/status.json", "/stream.mjpg", "/pictures/", "/pictures/%2e%2e/x"}) {
                // The stream's first bytes are enough: reading it for its
                // five seconds would leave the other paths a few asks a run.
                const std::string answer =
                    path == "/stream.mjpg"
                        ? exchange(port, "GET /stream.mjpg HTTP/1.1\r\nHost: x\r\n\r\n", 5, 4096)
                        : get(port, path);
                if (answer.empty()) continue;
                ++(statusOf(answer) != 0 ? answered : malformed);
            }
        }
    });
    const ProgramRun served =
        runProgram(withArguments(scene, {"--listen", std::to_string(port)}), scratch.path());
    running = false;
    clients.join();
    EXPECT_EQ(served.exitStatus, 0);
    EXPECT_EQ(afterFirstLine(served.standardOutput), afterFirstLine(alone.standardOutput));
    EXPECT_GT(answered, 4);
    EXPECT_EQ(malformed, 0);
}

TEST(WebViewRun, ARealTimeRunServesItsFiguresAndStopsCleanlyOnSigterm) {
    ScratchDirectory scratch;
    const int port = freePort();
    std::string status;
    std::string stream;
    bool streamEnded = false;
    const std::string streamRequest = "GET /stream.mjpg HTTP/1.1\r\nHost: x\r\n\r\n";
    std::thread client([&] {
        if (!waitForListener(port, 10)) return;
        // A client that asks for the stream and never reads it.
        const int stalled = sendAndStall(port, streamRequest);
        // After the start-up pause of the capture device.
        std::this_thread::sleep_for(std::chrono::milliseconds(6500));
        status = bodyOf(get(port, "/status.json"));
        const auto started = std::chrono::steady_clock::now();
        stream = exchange(port, streamRequest, 12);
        streamEnded = std::chrono::steady_clock::now() - started < std::chrono::seconds(8);
        ::close(stalled);
    });
    const ProgramRun run = runProgram(
        {"0", "--source", "synthetic:7", "--headless", "--listen", std::to_string(port)}, scratch.path(), 9);
    client.join();
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.standardOutput.find("winmain returning\n"), std::string::npos);
    EXPECT_LT(run.secondsAfterLastOutput, 2);
    EXPECT_NE(run.standardError.find("web view on http://127.0.0.1:" + std::to_string(port) + "/"),
              std::string::npos);
    EXPECT_NE(status.find("\"mode\":\"default\",\"source\":\"synthetic:7\""), std::string::npos) << status;
    EXPECT_EQ(status.find("\"frame\":0,"), std::string::npos);
    EXPECT_NE(stream.find("Content-Type: image/jpeg"), std::string::npos);
    // Headless, the live frame is painted again once a client watches: the
    // road of the scene, not the canvas's white, inside the frame's area.
    const Luma picture = lastPictureOf(stream);
    ASSERT_GE(picture.width, 330);
    EXPECT_LT(picture.at(170, 200), 200);
    EXPECT_LT(picture.at(300, 150), 200);
    EXPECT_TRUE(streamEnded);
}

}  // namespace
