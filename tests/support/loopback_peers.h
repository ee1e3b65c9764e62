#pragma once
// Peers on 127.0.0.1 for the tests of live sources: a socket on a port of
// the system's choosing, and a UDP stream sent by ffmpeg for a while.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace testing_support {

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

}  // namespace testing_support
