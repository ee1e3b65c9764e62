#include "platform/vfw/source_health.h"

#include <array>
#include <atomic>
#include <chrono>

#include "platform/vfw/driver_table.h"

namespace platform {
namespace {

struct SharedHealth {
    std::atomic<SourceState> state{SourceState::connecting};
    std::atomic<std::int64_t> lastFrameSeconds{0};
    std::atomic<std::int64_t> lostSinceSeconds{0};
    std::atomic<std::int32_t> reconnects{0};
};

std::array<SharedHealth, driverSlots> slots;

SharedHealth* slotOf(int index) {
    return index >= 0 && index < driverSlots ? &slots[static_cast<std::size_t>(index)] : nullptr;
}

// What the operator's watch says, also during a replay on the virtual clock.
std::int64_t wallSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

const char* sourceStateName(SourceState state) {
    switch (state) {
        case SourceState::connecting:
            return "connecting";
        case SourceState::delivering:
            return "delivering";
        case SourceState::lost:
            return "lost";
        case SourceState::reconnecting:
            return "reconnecting";
    }
    return "";
}

void noteFrameDelivered(int index) {
    SharedHealth* health = slotOf(index);
    if (health == nullptr) return;
    const SourceState before = health->state.load();
    if (before == SourceState::lost || before == SourceState::reconnecting) ++health->reconnects;
    health->lastFrameSeconds = wallSeconds();
    health->state = SourceState::delivering;
}

void noteGrabFailed(int index) {
    SharedHealth* health = slotOf(index);
    if (health == nullptr) return;
    const SourceState before = health->state.load();
    if (before == SourceState::delivering) {
        health->lostSinceSeconds = wallSeconds();
        health->state = SourceState::lost;
    } else if (before == SourceState::lost) {
        health->state = SourceState::reconnecting;
    }
}

SourceHealth sourceHealth(int index) {
    const SharedHealth* health = slotOf(index);
    if (health == nullptr) return {};
    return {health->state.load(), health->lastFrameSeconds.load(), health->lostSinceSeconds.load(),
            health->reconnects.load()};
}

void resetSourceHealth() {
    for (SharedHealth& health : slots) {
        health.state = SourceState::connecting;
        health.lastFrameSeconds = 0;
        health.lostSinceSeconds = 0;
        health.reconnects = 0;
    }
}

}  // namespace platform
