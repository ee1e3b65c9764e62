#pragma once
// The V4L2 devices that can capture video, for the default driver table.
#include <string>
#include <vector>

namespace platform {

struct CameraDevice {
    std::string path;      // e.g. /dev/video0
    std::string cardName;  // VIDIOC_QUERYCAP card
};

// The videoN devices in `directory` that capture video through streaming I/O
// (what FFmpeg's V4L2 input needs), in numeric order of N.
std::vector<CameraDevice> findCameras(const std::string& directory = "/dev");

}  // namespace platform
