#pragma once
// Where the broker is: mqtt://HOST[:PORT] or mqtts://HOST[:PORT] (TLS).
#include <optional>
#include <string>

namespace platform::mqtt {

struct BrokerAddress {
    std::string host;  // a name, an IPv4 address or an IPv6 address without its brackets
    int port = 0;
    bool tls = false;

    std::string text() const;  // host:port as a URL has it
};

// Ports 1883 and 8883 when none is given. Refused (empty, with the reason):
// another scheme, a user or password in the URL, a path, a bad port.
std::optional<BrokerAddress> parseBrokerUrl(const std::string& url, std::string& failure);

}  // namespace platform::mqtt
