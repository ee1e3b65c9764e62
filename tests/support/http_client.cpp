#include "support/http_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace testing_support {
namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    return address;
}

// From `source` (another loopback address, 127.x.y.z) when given.
int connectTo(int port, const char* source = nullptr) {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    const bool bound =
        source == nullptr || (::inet_pton(AF_INET, source, &local.sin_addr) == 1 &&
                              ::bind(socket, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0);
    if (!bound || ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

}  // namespace

int freePort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

std::string exchange(int port, const std::string& request, double seconds, std::size_t enough) {
    return exchangeOn(connectTo(port), request, seconds, enough);
}

std::string getFrom(const std::string& source, int port, const std::string& path) {
    return exchangeOn(connectTo(port, source.c_str()),
                      "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n", 5, 0);
}

std::string exchangeOn(int socket, const std::string& request, double seconds, std::size_t enough) {
    if (socket < 0) return "";
    ::send(socket, request.data(), request.size(), MSG_NOSIGNAL);
    std::string answer;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    char block[65536];
    while (Clock::now() < end && (enough == 0 || answer.size() < enough)) {
        pollfd watched{socket, POLLIN, 0};
        if (::poll(&watched, 1, 50) <= 0) continue;
        const ssize_t got = ::recv(socket, block, sizeof block, 0);
        if (got <= 0) break;
        answer.append(block, static_cast<std::size_t>(got));
    }
    ::close(socket);
    return answer;
}

int sendAndStall(int port, const std::string& request) {
    const int socket = connectTo(port);
    if (socket >= 0) ::send(socket, request.data(), request.size(), MSG_NOSIGNAL);
    return socket;
}

std::string get(int port, const std::string& path, const std::string& credentials) {
    std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!credentials.empty()) request += "Authorization: Basic " + credentials + "\r\n";
    return exchange(port, request + "\r\n");
}

int statusOf(const std::string& answer) {
    const bool versioned = answer.rfind("HTTP/1.1 ", 0) == 0 || answer.rfind("HTTP/1.0 ", 0) == 0;
    const std::size_t lineEnd = answer.find("\r\n");
    if (!versioned || answer.size() < 13 || answer[12] != ' ' || lineEnd == std::string::npos ||
        answer.find("\r\n\r\n") == std::string::npos)
        return 0;
    const std::string code = answer.substr(9, 3);
    return code.find_first_not_of("0123456789") == std::string::npos ? std::stoi(code) : 0;
}

std::string bodyOf(const std::string& answer) {
    const std::size_t end = answer.find("\r\n\r\n");
    return end == std::string::npos ? "" : answer.substr(end + 4);
}

bool waitForListener(int port, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        const int socket = connectTo(port);
        if (socket >= 0) {
            ::close(socket);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace testing_support
