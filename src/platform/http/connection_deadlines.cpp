#include "platform/http/connection_deadlines.h"

namespace platform::http {

ConnectionDeadlines::ConnectionDeadlines(std::chrono::seconds limit)
    : limit_(limit), watcher_([this] { watch(); }) {}

ConnectionDeadlines::~ConnectionDeadlines() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    watcher_.join();
}

void ConnectionDeadlines::opened(const void* key, int socket) {
    std::lock_guard lock(mutex_);
    connections_[key] = Watched{socket, Clock::now() + limit_};
}

void ConnectionDeadlines::answered(const void* key) {
    std::lock_guard lock(mutex_);
    const auto found = connections_.find(key);
    if (found != connections_.end()) found->second.deadline = Clock::now() + limit_;
}

void ConnectionDeadlines::exempt(const void* key) {
    std::lock_guard lock(mutex_);
    const auto found = connections_.find(key);
    if (found != connections_.end()) found->second.deadline = Clock::time_point::max();
}

void ConnectionDeadlines::closed(const void* key) {
    std::lock_guard lock(mutex_);
    connections_.erase(key);
}

// Shutting a socket down under the lock: its connection cannot have closed
// it (and the number cannot have been reused) before `closed`.
void ConnectionDeadlines::watch() {
    std::unique_lock lock(mutex_);
    while (!stopRequested_.wait_for(lock, std::chrono::seconds(1), [this] { return stopping_; })) {
        const Clock::time_point now = Clock::now();
        for (auto& [key, watched] : connections_) {
            if (watched.deadline > now) continue;
            ::shutdown(watched.socket, SHUT_RDWR);
            watched.deadline = Clock::time_point::max();
        }
    }
}

}  // namespace platform::http
