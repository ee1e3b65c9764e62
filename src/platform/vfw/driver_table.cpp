#include "platform/vfw/driver_table.h"

#include <array>

#include "platform/clock/clock.h"
#include "platform/vfw/driver_state.h"
#include "platform/vfw/source_health.h"

namespace platform {

DriverTable& driverTable() {
    // Never destroyed: the capture device's exit-time destructor still talks
    // to its driver.
    static DriverTable* const table = new DriverTable;
    return *table;
}

void installDriver(int index, std::unique_ptr<FrameSource> source, const std::string& description) {
    if (index < 0 || index >= driverSlots) return;
    CaptureDriver& driver = driverTable().slots[static_cast<std::size_t>(index)];
    driver = CaptureDriver{};
    driver.source = std::move(source);
    driver.description = description.substr(0, descriptionCapacity - 1);
}

CaptureDriver* driverAt(int index) {
    if (index < 0 || index >= driverSlots) return nullptr;
    CaptureDriver& driver = driverTable().slots[static_cast<std::size_t>(index)];
    return driver.source ? &driver : nullptr;
}

std::optional<std::int64_t> timelineElapsedNanoseconds() {
    const std::optional<std::int64_t>& start = driverTable().timelineStart;
    if (!start) return std::nullopt;
    return clock::nowNanoseconds() - *start;
}

void setRunLimit(std::optional<double> seconds) {
    DriverTable& table = driverTable();
    table.runLimitNanoseconds.reset();
    if (seconds) table.runLimitNanoseconds = static_cast<std::int64_t>(*seconds * 1e9);
    table.runLimitReached = false;
}

void holdTimelineThroughPauses() { driverTable().pausesHoldTimeline = true; }

void notePause(std::int64_t nanoseconds) {
    DriverTable& table = driverTable();
    if (table.pausesHoldTimeline && table.timelineStart) *table.timelineStart += nanoseconds;
}

void resetDrivers() {
    DriverTable& table = driverTable();
    table.pausesHoldTimeline = false;
    for (CaptureDriver& driver : table.slots) driver = CaptureDriver{};
    table.timelineStart.reset();
    table.runLimitNanoseconds.reset();
    table.runLimitReached = false;
    table.endOfRecordingReported = false;
    resetSourceHealth();
}

}  // namespace platform
