#pragma once
// A small MJPEG-over-HTTP server on 127.0.0.1 for the network source tests:
// one thread serves one client at a time, a multipart/x-mixed-replace stream
// of the same JPEG every 40 ms, until stopped.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testmedia {

class MjpegServer {
public:
    enum class Mode { stream, silent };

    // Port 0 lets the system choose one.
    MjpegServer(std::vector<std::uint8_t> jpeg, int port, Mode mode = Mode::stream)
        : jpeg_(std::move(jpeg)), mode_(mode) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 4) != 0) {
            return;
        }
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~MjpegServer() { stop(); }

    // Frames sent from now on show `jpeg`.
    void show(std::vector<std::uint8_t> jpeg) {
        const std::lock_guard<std::mutex> lock(pictureLock_);
        jpeg_ = std::move(jpeg);
    }

    bool listening() const { return port_ != 0; }
    int port() const { return port_; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/camera.mjpg"; }

    void stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        if (listener_ >= 0) ::close(listener_);
        listener_ = -1;
    }

private:
    void serve() {
        while (!stopping_) {
            if (!readable(listener_)) continue;
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client < 0) continue;
            if (readRequest(client)) stream(client);
            ::close(client);
        }
    }

    // Waits up to 50 ms, so that a stop is seen quickly.
    static bool readable(int socket) {
        pollfd wanted{socket, POLLIN, 0};
        return ::poll(&wanted, 1, 50) > 0;
    }

    bool readRequest(int client) {
        std::string request;
        char buffer[1024];
        while (!stopping_ && request.find("\r\n\r\n") == std::string::npos) {
            if (!readable(client)) continue;
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) return false;
            request.append(buffer, static_cast<std::size_t>(got));
        }
        return !stopping_;
    }

    void stream(int client) {
        const std::string header =
            "HTTP/1.0 200 OK\r\nContent-Type: multipart/x-mixed-replace; boundary=frame\r\n\r\n";
        if (!send(client, header.data(), header.size())) return;
        while (!stopping_) {
            if (mode_ == Mode::stream && !sendPart(client)) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    }

    bool sendPart(int client) {
        const std::lock_guard<std::mutex> lock(pictureLock_);
        const std::string partHeader =
            "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " + std::to_string(jpeg_.size()) +
            "\r\n\r\n";
        return send(client, partHeader.data(), partHeader.size()) &&
               send(client, jpeg_.data(), jpeg_.size()) && send(client, "\r\n", 2);
    }

    static bool send(int client, const void* data, std::size_t size) {
        const auto* bytes = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t sent = ::send(client, bytes, size, MSG_NOSIGNAL);
            if (sent <= 0) return false;
            bytes += sent;
            size -= static_cast<std::size_t>(sent);
        }
        return true;
    }

    std::mutex pictureLock_;
    std::vector<std::uint8_t> jpeg_;
    Mode mode_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace testmedia
