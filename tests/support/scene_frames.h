#pragma once
// Frames of the built-in road scene as the every-vehicle analysis is given
// them: 320 x 240 gray images, the frame mirrored as the program's gray
// image is.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Frames first .. first + count - 1 of the scene `options` (what follows
// "synthetic"), at 25 frames/s.
std::vector<std::vector<std::uint8_t>> grayFramesOf(const std::string& options, int first, int count);

}  // namespace testing_support
