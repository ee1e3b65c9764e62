// A stop is acted on at once: SIGTERM or SIGINT, sent at a random moment
// while the program waits on a source that has stalled (the failed-grab
// pauses, the reopening of a stream, a connection that never answers, the
// pause before giving up on a camera), ends it within moments, by the path it
// would have taken anyway.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "support/loopback_peers.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using namespace testing_support;

// The shortest pause a stop must cut is 5 s; this leaves a loaded machine
// room without letting any pause through.
constexpr double stopBoundSeconds = 3.0;

double randomMomentBetween(double first, double last) {
    std::random_device seed;
    std::mt19937 generator(seed());
    return std::uniform_real_distribution<double>(first, last)(generator);
}

ProgramRun runStoppedAt(const std::string& source, double seconds, int signal) {
    ScratchDirectory scratch;
    RunConditions conditions;
    conditions.stopAfterSeconds = seconds;
    conditions.stopSignal = signal;
    return runProgram({"0", "--source", source, "--headless"}, scratch.path(), conditions);
}

void expectEndedSoonAfterTheStop(const ProgramRun& run, double stoppedAt) {
    EXPECT_EQ(run.signal, 0);
    ASSERT_GE(run.secondsAfterStop, 0) << "the program had ended before the stop";
    EXPECT_LT(run.secondsAfterStop, stopBoundSeconds) << "stopped at " << stoppedAt << " s";
}

// The stream stops after 2 s; the program finds it gone 5 s later and from
// then on alternates the failed-grab pauses (10 s and 5 s) with reopenings
// that wait up to 5 s for a picture.
TEST(StopDuringWaits, UdpStreamThatStoppedEndsNormallyAtOnce) {
    LoopbackSocket port(SOCK_DGRAM);
    ASSERT_NE(port.port, 0);
    port.close();  // for the program to bind
    UdpSender sender(port.port, 2);
    const double stopAt = randomMomentBetween(9, 26);
    const ProgramRun run = runStoppedAt("udp://127.0.0.1:" + std::to_string(port.port), stopAt, SIGTERM);
    expectEndedSoonAfterTheStop(run, stopAt);
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(run.standardOutput.ends_with("\nwinmain returning\n")) << run.standardOutput;
    EXPECT_NE(run.standardOutput.find("grab frame error!!!!!!!!!!\n"), std::string::npos)
        << "the stream was never lost while the program ran";
}

// The kernel completes the connection; nothing is ever sent on it. The open
// waits up to 5 s, then the program says the camera is not connected and
// pauses 5 s before it ends with 255: a stop shortens the wait, not the
// verdict.
TEST(StopDuringWaits, TcpPortThatNeverAnswersEndsAtOnce) {
    LoopbackSocket listener(SOCK_STREAM);
    ASSERT_NE(listener.port, 0);
    ASSERT_EQ(::listen(listener.descriptor, 4), 0);
    const double stopAt = randomMomentBetween(0.5, 9);
    const ProgramRun run =
        runStoppedAt("http://127.0.0.1:" + std::to_string(listener.port) + "/camera.mjpg", stopAt, SIGINT);
    expectEndedSoonAfterTheStop(run, stopAt);
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_TRUE(run.standardOutput.ends_with("\ncamera not connected!!!\n")) << run.standardOutput;
}

// Nobody stopping it, the pause before the end lasts its 5 s.
TEST(StopDuringWaits, CameraPathThatIsNotThereEndsAtOnce) {
    const std::string missing = "/dev/video-tavo-not-there";
    ASSERT_FALSE(std::filesystem::exists(missing));
    ScratchDirectory scratch;
    const ProgramRun unstopped = runProgram({"0", "--source", missing, "--headless"}, scratch.path());
    EXPECT_EQ(unstopped.exitStatus, 255);
    EXPECT_GE(unstopped.secondsAfterLastOutput, 4.9);

    const double stopAt = randomMomentBetween(0.5, 4.5);
    const ProgramRun run = runStoppedAt(missing, stopAt, SIGTERM);
    expectEndedSoonAfterTheStop(run, stopAt);
    EXPECT_EQ(run.exitStatus, 255);
    EXPECT_TRUE(run.standardOutput.ends_with("\ncamera not connected!!!\n")) << run.standardOutput;
    EXPECT_NE(run.standardError.find(missing), std::string::npos) << run.standardError;
}

}  // namespace
