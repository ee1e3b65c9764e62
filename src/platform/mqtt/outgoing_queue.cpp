#include "platform/mqtt/outgoing_queue.h"

#include <algorithm>

namespace platform::mqtt {

void OutgoingQueue::push(Message message) {
    if (message.retain) {
        std::erase_if(waiting_, [&](const Message& waiting) {
            return waiting.retain && waiting.topic == message.topic;
        });
    } else if (events_ == eventLimit_) {
        const auto oldest = std::find_if(waiting_.begin(), waiting_.end(),
                                         [](const Message& waiting) { return !waiting.retain; });
        ++dropped_;
        if (oldest == waiting_.end()) return;  // a limit of 0 keeps no event
        waiting_.erase(oldest);
        --events_;
    }
    if (!message.retain) ++events_;
    waiting_.push_back(std::move(message));
}

std::optional<Message> OutgoingQueue::pop() {
    if (waiting_.empty()) return std::nullopt;
    Message message = std::move(waiting_.front());
    waiting_.pop_front();
    if (!message.retain) --events_;
    return message;
}

void OutgoingQueue::putBack(Message message) {
    if (!message.retain) ++events_;
    waiting_.push_front(std::move(message));
}

}  // namespace platform::mqtt
