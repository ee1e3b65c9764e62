// Ending never waits on a live source: the program, run on network sources
// on 127.0.0.1 that stop or never start delivering, ends soon after its last
// trace line, whatever the source is doing then.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/mjpeg_server.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"
#include "support/test_media.h"

namespace {

using testing_support::ProgramRun;
using testing_support::runProgram;
using testing_support::ScratchDirectory;

// Generous: this catches a hang, it does not time the end.
constexpr double endBoundSeconds = 5.0;
// The program's own pause after a failed connect.
constexpr double connectFailurePauseSeconds = 5.0;

bool endsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// A socket on 127.0.0.1 with a port of the system's choosing.
struct LoopbackSocket {
    explicit LoopbackSocket(int type) {
        descriptor = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            ::getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port = ntohs(address.sin_port);
        }
    }
    ~LoopbackSocket() { close(); }
    void close() {
        if (descriptor >= 0) ::close(descriptor);
        descriptor = -1;
    }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    int descriptor = -1;
    int port = 0;
};

// The ffmpeg command sending `seconds` of a test picture as MPEG-TS to
// udp://127.0.0.1:`port`, at its real rate; it then stops by itself.
class UdpSender {
public:
    UdpSender(int port, int seconds) {
        const std::string url = "udp://127.0.0.1:" + std::to_string(port);
        const std::string duration = std::to_string(seconds);
        child_ = fork();
        if (child_ == 0) {
            execlp("ffmpeg", "ffmpeg", "-nostdin", "-loglevel", "quiet", "-re", "-f", "lavfi", "-i",
                   "testsrc=size=320x240:rate=25", "-t", duration.c_str(), "-c:v", "mpeg2video", "-f",
                   "mpegts", url.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~UdpSender() {
        if (child_ <= 0) return;
        kill(child_, SIGKILL);
        waitpid(child_, nullptr, 0);
    }
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    // Whether it has stopped sending (and ended) by now.
    bool finished() {
        if (child_ <= 0 || waitpid(child_, nullptr, WNOHANG) != child_) return false;
        child_ = -1;
        return true;
    }

private:
    pid_t child_ = -1;
};

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
