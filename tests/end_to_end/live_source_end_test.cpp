// Ending never waits on a live source: the program, run on network sources
// on 127.0.0.1 that stop or never start delivering, ends soon after its last
// trace line, whatever the source is doing then.
#include <sys/socket.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/loopback_peers.h"
#include "support/mjpeg_server.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"
#include "support/test_media.h"

namespace {

using testing_support::LoopbackSocket;
using testing_support::ProgramRun;
using testing_support::runProgram;
using testing_support::ScratchDirectory;
using testing_support::UdpSender;

// Generous: this catches a hang, it does not time the end.
constexpr double endBoundSeconds = 5.0;
// The program's own pause after a failed connect.
constexpr double connectFailurePauseSeconds = 5.0;

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

ProgramRun runOn(const std::string& source) {
    ScratchDirectory scratch;
    return runProgram({"0", "--source", source, "--headless", "--run-for", "2"}, scratch.path());
}

// The source stops while the program waits in its start-up pause; at the
// end its reading is stalled, whatever the grabs made of what was buffered.
void expectEndSoonAfterWinmainReturning(const ProgramRun& run) {
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(endsWith(run.standardOutput, "winmain returning\n")) << run.standardOutput;
    EXPECT_LT(run.secondsAfterLastOutput, endBoundSeconds);
}

TEST(LiveSourceEnd, UdpStreamThatStopsSending) {
    LoopbackSocket port(SOCK_DGRAM);
    ASSERT_NE(port.port, 0);
    port.close();  // for the program to bind
    UdpSender sender(port.port, 2);
    const ProgramRun run = runOn("udp://127.0.0.1:" + std::to_string(port.port));
    EXPECT_TRUE(sender.finished()) << "the stream was still being sent at the end";
    expectEndSoonAfterWinmainReturning(run);
}

TEST(LiveSourceEnd, HttpMjpegStreamThatStops) {
    testmedia::MjpegServer server(testmedia::flatJpeg(64, 48, 90), 0);
    ASSERT_TRUE(server.listening());
    std::thread stopper([&server] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        server.stop();
    });
    const ProgramRun run = runOn(server.url());
    stopper.join();
    expectEndSoonAfterWinmainReturning(run);
}

// The kernel completes the connection on the listening socket; nothing is
// ever sent on it, so the open blocks in a read until its time limit.
TEST(LiveSourceEnd, TcpServerThatNeverSends) {
    LoopbackSocket listener(SOCK_STREAM);
    ASSERT_NE(listener.port, 0);
    ASSERT_EQ(::listen(listener.descriptor, 4), 0);
    const ProgramRun run = runOn("http://127.0.0.1:" + std::to_string(listener.port) + "/camera.mjpg");
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_TRUE(endsWith(run.standardOutput, "camera not connected!!!\n")) << run.standardOutput;
    EXPECT_LT(run.secondsAfterLastOutput, connectFailurePauseSeconds + endBoundSeconds);
}

}  // namespace
