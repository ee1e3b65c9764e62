#pragma once
// The web view's /status.json.
#include <cstdint>
#include <optional>
#include <string>

#include "app/web/status_board.h"

namespace app::web {

struct StatusExtras {
    std::int64_t uptimeSeconds = 0;
    std::string lastPictureTime;  // empty when unknown
    bool eventLog = false;        // whether /events.csv has something to send
    std::string cameraName;       // the web view's only; left out when empty
    // The MQTT status only: messages dropped while the broker was away.
    std::optional<std::uint64_t> messagesDropped;
};

std::string statusJson(const RunningFigures& figures, const StatusExtras& extras);

}  // namespace app::web
