#pragma once
// Recordings of the built-in road scene that the tests encode themselves:
// real traffic through the detection window, in the codec of their choice.
#include <string>

namespace testing_support {

// The first `frames` frames of the scene `options` (what follows
// "synthetic": ":7", say), 640 x 480 at 25 frames/s, encoded by FFmpeg's
// `encoderName` ("libx264", "mjpeg", ...) into `path`, whose extension picks
// the container. False, with the reason, when this FFmpeg cannot.
bool writeSceneVideo(const std::string& path, const std::string& options, int frames,
                     const std::string& encoderName, std::string& failure);

}  // namespace testing_support
