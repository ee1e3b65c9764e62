#include "platform/sources/source_kind.h"

namespace platform {
namespace {

// A live input that delivers nothing for this long has stopped.
constexpr std::int64_t liveWaitLimitNanoseconds = 5'000'000'000;
constexpr const char* liveWaitLimitMicroseconds = "5000000";

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

SourceKind kindOfSource(const std::string& name) {
    if (name.find("://") != std::string::npos && !startsWith(name, "file://")) return SourceKind::network;
    if (startsWith(name, "/dev/video")) return SourceKind::camera;
    if (name.find('%') != std::string::npos) return SourceKind::imageSequence;
    return SourceKind::videoFile;
}

bool isLiveKind(SourceKind kind) { return kind == SourceKind::camera || kind == SourceKind::network; }

InputRequest inputRequestFor(const std::string& name, SourceKind kind, FrameRate sequenceRate) {
    InputRequest request;
    request.url = name;
    switch (kind) {
        case SourceKind::videoFile:
            break;
        case SourceKind::imageSequence:
            request.formatName = "image2";
            request.options = {{"pattern_type", "sequence"},
                               {"framerate", std::to_string(sequenceRate.numerator) + "/" +
                                                 std::to_string(sequenceRate.denominator)}};
            break;
        case SourceKind::camera:
            // The V4L2 device then answers "nothing yet" instead of waiting
            // without limit for a camera that has stopped.
            request.formatName = "video4linux2";
            request.nonBlocking = true;
            request.waitLimitNanoseconds = liveWaitLimitNanoseconds;
            break;
        case SourceKind::network:
            request.options = {{"rw_timeout", liveWaitLimitMicroseconds}, {"analyzeduration", "1000000"}};
            if (startsWith(name, "rtsp://"))
                request.options.emplace_back("timeout", liveWaitLimitMicroseconds);
            request.waitLimitNanoseconds = liveWaitLimitNanoseconds;
            break;
    }
    return request;
}

}  // namespace platform
