#include "platform/mqtt/broker_url.h"

namespace platform::mqtt {
namespace {

constexpr int plainPort = 1883;
constexpr int tlsPort = 8883;

bool parsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    port = std::stoi(text);
    return port >= 1 && port <= 65535;
}

bool validHostName(const std::string& host) {
    return !host.empty() &&
           host.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_") ==
               std::string::npos;
}

// HOST[:PORT] or [IPV6][:PORT] after the scheme.
std::string splitHostAndPort(const std::string& rest, BrokerAddress& address) {
    std::optional<std::string> portText;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) return "an IPv6 address needs its closing bracket";
        address.host = rest.substr(1, close - 1);
        const std::string after = rest.substr(close + 1);
        if (!after.empty() && after.front() != ':') return "only a port may follow the host";
        if (!after.empty()) portText = after.substr(1);
        if (address.host.empty() ||
            address.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos)
            return "'" + address.host + "' is not an IPv6 address";
    } else {
        const std::size_t colon = rest.find(':');
        address.host = rest.substr(0, colon);
        if (colon != std::string::npos) portText = rest.substr(colon + 1);
        if (!validHostName(address.host)) return "'" + address.host + "' is not a host name or address";
    }
    if (portText && !parsePort(*portText, address.port))
        return "the port must be a number from 1 to 65535, not '" + *portText + "'";
    return "";
}

}  // namespace

std::string BrokerAddress::text() const {
    const std::string shownHost = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return shownHost + ":" + std::to_string(port);
}

std::optional<BrokerAddress> parseBrokerUrl(const std::string& url, std::string& failure) {
    BrokerAddress address;
    std::string rest;
    if (url.rfind("mqtt://", 0) == 0) {
        rest = url.substr(7);
        address.port = plainPort;
    } else if (url.rfind("mqtts://", 0) == 0) {
        rest = url.substr(8);
        address.port = tlsPort;
        address.tls = true;
    } else {
        failure = "--mqtt needs mqtt://HOST[:PORT] or mqtts://HOST[:PORT], not '" + url + "'";
        return std::nullopt;
    }
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    std::string problem;
    if (rest.find('@') != std::string::npos)
        problem = "a user or password never goes in the URL (use --mqtt-auth FILE)";
    else if (rest.find_first_of("/?#") != std::string::npos)
        problem = "only HOST[:PORT] may follow the scheme";
    else
        problem = splitHostAndPort(rest, address);
    if (!problem.empty()) {
        failure = "--mqtt " + url + ": " + problem;
        return std::nullopt;
    }
    return address;
}

}  // namespace platform::mqtt
