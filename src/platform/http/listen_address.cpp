#include "platform/http/listen_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::http {
namespace {

constexpr int backlog = 32;

bool parsePort(const std::string& text, in_port_t& port) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long value = std::stoul(text);
    if (value > 65535) return false;
    port = htons(static_cast<std::uint16_t>(value));
    return true;
}

std::optional<ListenAddress> ipv4(const std::string& host, in_port_t port) {
    ListenAddress address;
    auto* inet = reinterpret_cast<sockaddr_in*>(&address.socketAddress);
    inet->sin_family = AF_INET;
    inet->sin_port = port;
    if (inet_pton(AF_INET, host.c_str(), &inet->sin_addr) != 1) return std::nullopt;
    address.length = sizeof(sockaddr_in);
    return address;
}

std::optional<ListenAddress> ipv6(const std::string& host, in_port_t port) {
    ListenAddress address;
    auto* inet = reinterpret_cast<sockaddr_in6*>(&address.socketAddress);
    inet->sin6_family = AF_INET6;
    inet->sin6_port = port;
    if (inet_pton(AF_INET6, host.c_str(), &inet->sin6_addr) != 1) return std::nullopt;
    address.length = sizeof(sockaddr_in6);
    return address;
}

}  // namespace

std::optional<ListenAddress> parseListenAddress(const std::string& text, std::string& failure) {
    const std::size_t colon = text.rfind(':');
    const std::string portText = colon == std::string::npos ? text : text.substr(colon + 1);
    std::string host = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
    in_port_t port = 0;
    if (!parsePort(portText, port)) {
        failure = "--listen needs [ADDRESS:]PORT with a port from 0 to 65535, not '" + text + "'";
        return std::nullopt;
    }
    const bool bracketed = host.size() >= 2 && host.front() == '[' && host.back() == ']';
    std::optional<ListenAddress> address =
        bracketed ? ipv6(host.substr(1, host.size() - 2), port) : ipv4(host, port);
    if (!address) failure = "--listen: '" + host + "' is not an IPv4 address or a bracketed IPv6 address";
    return address;
}

int openListener(const ListenAddress& address, std::string& failure) {
    const int family = address.socketAddress.ss_family;
    const int listener = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0) {
        failure = std::string("cannot open a socket: ") + std::strerror(errno);
        return -1;
    }
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    // [::] means IPv6 and IPv4 alike, whatever the system's default.
    if (family == AF_INET6) {
        const int no = 0;
        ::setsockopt(listener, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
    }
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address.socketAddress), address.length) != 0 ||
        ::listen(listener, backlog) != 0) {
        failure = std::string("--listen: cannot listen on that address and port: ") + std::strerror(errno);
        ::close(listener);
        return -1;
    }
    return listener;
}

std::string boundAddressText(int listener) {
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (::getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return "?";
    char host[INET6_ADDRSTRLEN] = "";
    if (bound.ss_family == AF_INET6) {
        const auto* inet = reinterpret_cast<const sockaddr_in6*>(&bound);
        inet_ntop(AF_INET6, &inet->sin6_addr, host, sizeof host);
        return "[" + std::string(host) + "]:" + std::to_string(ntohs(inet->sin6_port));
    }
    const auto* inet = reinterpret_cast<const sockaddr_in*>(&bound);
    inet_ntop(AF_INET, &inet->sin_addr, host, sizeof host);
    return std::string(host) + ":" + std::to_string(ntohs(inet->sin_port));
}

}  // namespace platform::http
