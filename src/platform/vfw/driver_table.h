#pragma once
// The capture drivers of the machine: ten slots, each holding the frame
// source that stands behind a driver index, with its description.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sources/frame_source.h"
#include "platform/winsys/win32_types.h"

namespace platform {

constexpr int driverSlots = 10;
constexpr std::size_t descriptionCapacity = 80;

struct CaptureDriver {
    std::unique_ptr<FrameSource> source;
    std::string description;
    BITMAPINFOHEADER format{};  // biWidth 0 until first connected
    std::vector<std::uint8_t> lastFrame;
    BITMAPINFOHEADER lastFrameFormat{};
    bool hasFrame = false;
    // Where in its recording the last frame lies, on the recording's own
    // timestamps (what `ffmpeg -ss` seeks to); empty for a live source.
    std::optional<std::int64_t> lastFramePosition;
    // Why the last picture was not written; empty after a good save.
    std::string lastSaveFailure;
};

// Puts `source` behind driver `index`; the description is cut to 79 bytes.
void installDriver(int index, std::unique_ptr<FrameSource> source, const std::string& description);

// The driver behind `index`, or null for an empty slot or an index outside 0..9.
CaptureDriver* driverAt(int index);

// Clock time since the recorded timeline started (the first connect of the
// process); empty before that.
std::optional<std::int64_t> timelineElapsedNanoseconds();

// After the first grab that leaves the clock strictly past `seconds` since
// program start, a close request is posted, once.
void setRunLimit(std::optional<double> seconds);

// From now on, a pause the program makes (noted with notePause) holds the
// recorded timeline: its start moves by the pause, so a recording is watched
// from its first frame. Live sources go on regardless.
void holdTimelineThroughPauses();
void notePause(std::int64_t nanoseconds);

// Empty slots, no timeline, no run limit (tests).
void resetDrivers();

}  // namespace platform
