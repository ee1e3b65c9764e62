#pragma once
// Where the web view listens: `[ADDRESS:]PORT`, a bare port on the loopback
// address only.
#include <sys/socket.h>

#include <optional>
#include <string>

namespace platform::http {

struct ListenAddress {
    sockaddr_storage socketAddress{};
    socklen_t length = 0;
};

// `PORT`, `ADDRESS:PORT` (an IPv4 address) or `[ADDRESS]:PORT` (IPv6), port
// 0..65535 (0: the system picks one). Empty, with the reason, otherwise.
std::optional<ListenAddress> parseListenAddress(const std::string& text, std::string& failure);

// A listening TCP socket bound to `address`; -1 with the reason on failure.
int openListener(const ListenAddress& address, std::string& failure);

// The address a listening socket is bound to, as a URL's host and port
// ("127.0.0.1:8080", "[::]:8080").
std::string boundAddressText(int listener);

}  // namespace platform::http
