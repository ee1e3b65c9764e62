#pragma once
// One request as the web view's routes see it, and their reply.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::http {

struct Request {
    std::string method;  // GET or HEAD; the server answers any other itself
    std::string path;    // exactly as sent, never unescaped, without the query
};

// Called on the connection's own thread for each part of an endless body;
// blocks until the part is ready, false ends the body.
using NextPart = std::function<bool(std::string& part)>;

struct Reply {
    int status = 404;
    std::string contentType = "text/plain; charset=utf-8";
    std::string body;
    // A file to send instead of the body: an open descriptor the reply
    // takes over, and its size.
    int fileDescriptor = -1;
    std::uint64_t fileSize = 0;
    // An endless body instead (a stream), when set.
    NextPart stream;
    std::vector<std::pair<std::string, std::string>> headers;
};

Reply textReply(int status, const std::string& text);

using Routes = std::function<Reply(const Request&)>;

}  // namespace platform::http
