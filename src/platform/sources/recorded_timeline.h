#pragma once
// Which frame of a recording a grab delivers, when frames come at a fixed
// rate num/den per second: frame k is due ceil(k * den * 1e9 / num) ns after
// the timeline started, and a grab made t ns after that start delivers frame
// max(ceil(t * num / (den * 1e9)), last + 1). The products need 128 bits.
#include <cstdint>

namespace platform {

struct FrameRate {
    std::int64_t numerator = 25;
    std::int64_t denominator = 1;
};

std::int64_t frameDueNanoseconds(std::int64_t frame, FrameRate rate);

// `lastFrame` is the frame the previous grab delivered, -1 before the first.
std::int64_t frameForGrab(std::int64_t elapsedNanoseconds, std::int64_t lastFrame, FrameRate rate);

}  // namespace platform
