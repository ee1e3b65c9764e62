#pragma once
// How each driver's source has been delivering, for whoever watches the
// program from outside (the web view's threads, MQTT): written by the grabs
// on the watching thread, read from any thread without waiting.
#include <cstdint>

namespace platform {

enum class SourceState {
    connecting,    // no frame yet
    delivering,    // the last grab delivered a frame
    lost,          // the last grab failed after frames had come
    reconnecting,  // the grabs after that failed too: each tries to reopen the source
};

struct SourceHealth {
    SourceState state = SourceState::connecting;
    // Wall-clock seconds since 1970; 0 for never.
    std::int64_t lastFrameSeconds = 0;
    std::int64_t lostSinceSeconds = 0;
    // Times the source delivered again after it was lost.
    std::int32_t reconnects = 0;
};

const char* sourceStateName(SourceState state);

// A grab of driver `index` (0..driverSlots - 1) delivered a frame, or failed.
void noteFrameDelivered(int index);
void noteGrabFailed(int index);

// As things stand; the health of a new source for an index outside 0..9.
SourceHealth sourceHealth(int index);

// Every slot back to a new source's health (tests).
void resetSourceHealth();

}  // namespace platform
