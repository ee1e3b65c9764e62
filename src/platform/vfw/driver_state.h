#pragma once
// State shared by the driver table and the capture windows.
#include <array>
#include <optional>

#include "platform/vfw/driver_table.h"

namespace platform {

struct DriverTable {
    std::array<CaptureDriver, driverSlots> slots;
    // Clock time of the first successful connect of the process: recorded
    // sources behave like a camera switched on then.
    std::optional<std::int64_t> timelineStart;
    std::optional<std::int64_t> runLimitNanoseconds;
    bool runLimitReached = false;
    bool pausesHoldTimeline = false;
    bool endOfRecordingReported = false;
};

DriverTable& driverTable();

}  // namespace platform
