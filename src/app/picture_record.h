#pragma once
// What is known of one picture once its save has been decided: the line of
// the event log and what the user's command is told.
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class FullSizeFrame;
}

namespace app {

struct PictureRecord {
    std::int32_t number = 0;
    std::string file;
    std::string time;  // local time, ISO 8601 with milliseconds and UTC offset
    // Into the recording; none for a live source. Logged in seconds cut to the
    // millisecond, so seeking there finds this frame and not the one before.
    std::optional<std::int64_t> positionNanoseconds;
    std::string mode;  // any, cars or every
    std::optional<std::int32_t> windowDifference;
    std::optional<std::int32_t> blackValue;
    std::optional<std::int32_t> windowCovered;  // percent, every-vehicle mode
    std::string fullSizeFile;                   // the .jpg beside the picture, when written
    std::string outcome;                        // "saved" or "failed: REASON"
};

// What the driver knows of a frame besides its pixels.
struct FrameExtras {
    std::optional<std::int64_t> positionNanoseconds;
    std::shared_ptr<const platform::FullSizeFrame> fullSize;
};

// The extras of the frame grabbed last (the full-size frame only when
// full-size pictures are asked for).
FrameExtras lastFrameExtras();

// "2026-12-08T17:05:03.123+01:00"
std::string localTimestamp(const timespec& when);

// The mode column: every, cars or any.
std::string pictureMode();

// The log's column names and one record's fields, in order.
std::vector<std::string> pictureLogColumns();
std::vector<std::string> pictureLogFields(const PictureRecord& record);

}  // namespace app
