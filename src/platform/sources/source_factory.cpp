#include "platform/sources/source_factory.h"

#include "platform/sources/ffmpeg_source.h"
#include "platform/sources/synthetic/synthetic_source.h"

namespace platform {
namespace {

constexpr const char* syntheticPrefix = "synthetic";

bool isSyntheticName(const std::string& name) {
    return name == syntheticPrefix || name.rfind(std::string(syntheticPrefix) + ":", 0) == 0;
}

}  // namespace

bool isLiveSourceName(const std::string& name) {
    return name.rfind("/dev/video", 0) == 0 || name.find("://") != std::string::npos;
}

std::unique_ptr<FrameSource> makeFrameSource(const std::string& name, std::optional<FrameRate> rate,
                                             std::string& failure) {
    if (isSyntheticName(name)) {
        return makeSyntheticSource(name.substr(std::string(syntheticPrefix).size()), rate, failure);
    }
    return makeFfmpegSource(name, rate);
}

}  // namespace platform
