#pragma once
// What a source name stands for, and how FFmpeg is asked to open it.
#include <string>

#include "platform/sources/media_input.h"
#include "platform/sources/recorded_timeline.h"

namespace platform {

enum class SourceKind {
    videoFile,      // a path FFmpeg demuxes
    imageSequence,  // a printf pattern such as frames/%05d.bmp
    camera,         // /dev/videoN
    network,        // scheme://... other than file://
};

SourceKind kindOfSource(const std::string& name);

bool isLiveKind(SourceKind kind);

// How to open `name`; an image sequence runs at `sequenceRate`.
InputRequest inputRequestFor(const std::string& name, SourceKind kind, FrameRate sequenceRate);

}  // namespace platform
