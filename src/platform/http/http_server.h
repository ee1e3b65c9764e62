#pragma once
// An HTTP server (libmicrohttpd) on threads of its own: one per connection,
// at most `connectionLimit` of them and `connectionsPerAddress` from one
// client address (so one client cannot lock the others out), each dropped after `idleSeconds`
// without progress; requests take at most `requestSeconds` to arrive and be
// answered (streams only to arrive). Answers GET and HEAD through the
// routes, anything else with 405; malformed or over-long requests with 4xx.
#include <memory>
#include <optional>
#include <string>

#include "platform/http/credentials_file.h"
#include "platform/http/http_exchange.h"

namespace platform::http {

struct ServerSettings {
    int listener = -1;                       // a listening socket the server takes over
    std::optional<Credentials> credentials;  // basic authentication when set
    unsigned connectionLimit = 16;
    // A browser opens up to six at once to one server.
    unsigned connectionsPerAddress = 8;
    unsigned idleSeconds = 10;
    unsigned requestSeconds = 30;
};

class Server {
public:
    // Null, with the reason, when the server cannot start.
    static std::unique_ptr<Server> start(ServerSettings settings, Routes routes, std::string& failure);
    // Stops accepting, closes every connection and waits for their threads.
    ~Server();

    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    struct State;

private:
    explicit Server(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace platform::http
