#pragma once
// From a source name on the command line to the source behind a driver.
#include <memory>
#include <optional>
#include <string>

#include "platform/sources/frame_source.h"
#include "platform/sources/recorded_timeline.h"

namespace platform {

// synthetic[:SEED[:OPTION...]], a video file, an image-sequence pattern,
// /dev/videoN or a network URL. Null, with a reason, for a malformed name.
std::unique_ptr<FrameSource> makeFrameSource(const std::string& name, std::optional<FrameRate> rate,
                                             std::string& failure);

// Cameras and network streams run on the real clock.
bool isLiveSourceName(const std::string& name);

}  // namespace platform
