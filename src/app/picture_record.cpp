#include "app/picture_record.h"

#include <cstdio>

#include "app/app_state.h"
#include "capture/capture_device.h"
#include "platform/sources/full_size_frame.h"
#include "platform/vfw/driver_table.h"

namespace app {
namespace {

template <typename Number>
std::string textOf(const std::optional<Number>& value) {
    return value ? std::to_string(*value) : std::string();
}

}  // namespace

FrameExtras lastFrameExtras() {
    FrameExtras extras;
    const platform::CaptureDriver* driver = platform::driverAt(capture::captureDevice.driverIndexNow());
    if (driver == nullptr) return extras;
    extras.positionNanoseconds = driver->lastFramePosition;
    if (fullSizePictures != 0 && driver->source) extras.fullSize = driver->source->fullSizeFrame();
    return extras;
}

std::string localTimestamp(const timespec& when) {
    std::tm local{};
    localtime_r(&when.tv_sec, &local);
    char seconds[32];
    char offset[8];
    std::strftime(seconds, sizeof seconds, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(offset, sizeof offset, "%z", &local);
    char text[64];
    std::snprintf(text, sizeof text, "%s.%03ld%.3s:%.2s", seconds, when.tv_nsec / 1'000'000, offset,
                  offset + 3);
    return text;
}

std::string pictureMode() {
    if (everyVehicleMode != 0) return "every";
    return triggerOnAnyMotion != 0 ? "any" : "cars";
}

std::vector<std::string> pictureLogColumns() {
    return {"number",      "file",           "time",      "position", "mode", "window_difference",
            "black_value", "window_covered", "full_size", "outcome"};
}

std::vector<std::string> pictureLogFields(const PictureRecord& record) {
    char position[32] = "";
    if (record.positionNanoseconds) {
        const long long milliseconds = *record.positionNanoseconds / 1'000'000;
        std::snprintf(position, sizeof position, "%lld.%03lld", milliseconds / 1000, milliseconds % 1000);
    }
    return {std::to_string(record.number),
            record.file,
            record.time,
            position,
            record.mode,
            textOf(record.windowDifference),
            textOf(record.blackValue),
            textOf(record.windowCovered),
            record.fullSizeFile,
            record.outcome};
}

}  // namespace app
