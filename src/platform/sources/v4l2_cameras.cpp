#include "platform/sources/v4l2_cameras.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <utility>

namespace platform {
namespace {

// N of a name "videoN", or nothing for any other name.
std::optional<long> videoNumber(const std::string& fileName) {
    const std::string prefix = "video";
    if (fileName.size() <= prefix.size() || fileName.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    const std::string digits = fileName.substr(prefix.size());
    if (digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    return std::stol(digits);
}

std::optional<v4l2_capability> queryCapabilities(const std::string& path) {
    // Non-blocking, so that a FIFO or a busy device cannot hold the search up.
    const int device = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (device < 0) return std::nullopt;
    v4l2_capability capability{};
    int result;
    do {
        result = ::ioctl(device, VIDIOC_QUERYCAP, &capability);
    } while (result < 0 && errno == EINTR);
    ::close(device);
    if (result < 0) return std::nullopt;
    return capability;
}

bool capturesVideo(const v4l2_capability& capability) {
    const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) != 0
                                   ? capability.device_caps
                                   : capability.capabilities;
    return (caps & V4L2_CAP_VIDEO_CAPTURE) != 0 && (caps & V4L2_CAP_STREAMING) != 0;
}

std::string cardNameOf(const v4l2_capability& capability) {
    const auto* card = reinterpret_cast<const char*>(capability.card);
    return std::string(card, strnlen(card, sizeof capability.card));
}

}  // namespace

std::vector<CameraDevice> findCameras(const std::string& directory) {
    std::vector<std::pair<long, std::string>> candidates;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
         entry.increment(error)) {
        const std::optional<long> number = videoNumber(entry->path().filename().string());
        if (number) candidates.emplace_back(*number, entry->path().string());
    }
    std::sort(candidates.begin(), candidates.end());

    std::vector<CameraDevice> cameras;
    for (const auto& [number, path] : candidates) {
        const std::optional<v4l2_capability> capability = queryCapabilities(path);
        if (capability && capturesVideo(*capability)) cameras.push_back({path, cardNameOf(*capability)});
    }
    return cameras;
}

}  // namespace platform
