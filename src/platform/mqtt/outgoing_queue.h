#pragma once
// What waits to be sent while the broker is slow or away, within a bound:
// a retained message stands for its topic's state, so only the newest of
// each topic waits; other messages are events, at most `eventLimit` of them,
// the oldest dropped first.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace platform::mqtt {

struct Message {
    std::string topic;
    std::string payload;  // bytes, not necessarily text
    bool retain = false;
};

class OutgoingQueue {
public:
    explicit OutgoingQueue(std::size_t eventLimit) : eventLimit_(eventLimit) {}

    void push(Message message);
    // Oldest first.
    std::optional<Message> pop();
    // Back at the front, as if it had never left (a send that did not happen).
    void putBack(Message message);

    bool empty() const { return waiting_.empty(); }
    // Events dropped to keep the bound, since the start.
    std::uint64_t dropped() const { return dropped_; }

private:
    std::size_t eventLimit_;
    std::size_t events_ = 0;
    std::uint64_t dropped_ = 0;
    std::deque<Message> waiting_;
};

}  // namespace platform::mqtt
