#include "platform/sources/presentation_times.h"

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

namespace platform {
namespace {

constexpr AVRational nanoseconds{1, 1'000'000'000};
constexpr std::int64_t fallbackStepNanoseconds = 40'000'000;  // 25 frames/s

}  // namespace

PresentationTimes::PresentationTimes(AVRational timeBase, AVRational averageRate)
    : timeBase_(timeBase), averageRate_(averageRate) {}

std::int64_t PresentationTimes::next(std::int64_t timestamp, std::int64_t duration) {
    const bool first = previousNanoseconds_ < 0;
    std::int64_t due = 0;
    if (!first) due = previousNanoseconds_ + step(duration);
    if (timestamp != AV_NOPTS_VALUE) {
        // The first frame with a timestamp fixes the origin: normally frame 0 at 0.
        if (!anchored_) {
            anchored_ = true;
            anchorTimestamp_ = timestamp;
            anchorNanoseconds_ = due;
        }
        due = anchorNanoseconds_ + av_rescale_q(timestamp - anchorTimestamp_, timeBase_, nanoseconds);
        if (!first && due < previousNanoseconds_) {
            wentBack_ = true;
            due = previousNanoseconds_;
        }
    }
    previousNanoseconds_ = due;
    return due;
}

std::int64_t PresentationTimes::originNanoseconds() const {
    if (!anchored_) return 0;
    return av_rescale_q(anchorTimestamp_, timeBase_, nanoseconds) - anchorNanoseconds_;
}

// Rounded down: a frame stamped below it lies a whole time base unit before
// `dueNanoseconds`, which rounding to the nanosecond cannot make up. Once the
// timestamps went back, a due time no longer follows from a frame's own.
std::optional<std::int64_t> PresentationTimes::timestampDueBefore(std::int64_t dueNanoseconds) const {
    if (!anchored_ || wentBack_) return std::nullopt;
    return anchorTimestamp_ +
           av_rescale_q_rnd(dueNanoseconds - anchorNanoseconds_, nanoseconds, timeBase_, AV_ROUND_DOWN);
}

std::int64_t PresentationTimes::step(std::int64_t duration) const {
    if (duration > 0) return av_rescale_q(duration, timeBase_, nanoseconds);
    if (averageRate_.num > 0 && averageRate_.den > 0)
        return av_rescale_q(1, av_inv_q(averageRate_), nanoseconds);
    return fallbackStepNanoseconds;
}

}  // namespace platform
