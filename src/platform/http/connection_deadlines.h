#pragma once
// The time limit of each request: from its connection's opening, or the end
// of its previous answer, until its answer is sent. A connection past its
// limit is shut down; one carrying a stream is exempt once its request is in.
#include <sys/socket.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace platform::http {

class ConnectionDeadlines {
public:
    explicit ConnectionDeadlines(std::chrono::seconds limit);
    // Stops the watch; the connections are then the server's to close.
    ~ConnectionDeadlines();

    ConnectionDeadlines(const ConnectionDeadlines&) = delete;
    ConnectionDeadlines& operator=(const ConnectionDeadlines&) = delete;

    // `key` names the connection; `socket` is shut down when it is late.
    void opened(const void* key, int socket);
    void answered(const void* key);
    void exempt(const void* key);
    // Before its socket is closed: the watch lets go of it.
    void closed(const void* key);

private:
    using Clock = std::chrono::steady_clock;
    struct Watched {
        int socket;
        Clock::time_point deadline;  // max(): exempt
    };

    void watch();

    std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::unordered_map<const void*, Watched> connections_;
    std::thread watcher_;
};

}  // namespace platform::http
