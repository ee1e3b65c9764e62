#include "platform/sources/recorded_timeline.h"

#include <algorithm>

namespace platform {
namespace {

using Wide = __int128;

constexpr Wide nanosecondsPerSecond = 1'000'000'000;

// Ceiling of a / b for a >= 0, b > 0.
Wide ceilDivide(Wide a, Wide b) { return (a + b - 1) / b; }

}  // namespace

std::int64_t frameDueNanoseconds(std::int64_t frame, FrameRate rate) {
    return static_cast<std::int64_t>(
        ceilDivide(static_cast<Wide>(frame) * rate.denominator * nanosecondsPerSecond, rate.numerator));
}

std::int64_t frameForGrab(std::int64_t elapsedNanoseconds, std::int64_t lastFrame, FrameRate rate) {
    const Wide elapsed = std::max<std::int64_t>(elapsedNanoseconds, 0);
    const auto due = static_cast<std::int64_t>(
        ceilDivide(elapsed * rate.numerator, static_cast<Wide>(rate.denominator) * nanosecondsPerSecond));
    return std::max(due, lastFrame + 1);
}

}  // namespace platform
