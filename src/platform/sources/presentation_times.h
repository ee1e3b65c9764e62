#pragma once
// When each frame of a video file is due on the recorded timeline: its
// presentation time minus the first frame's, in nanoseconds. A frame without a
// timestamp comes one frame duration after the one before it, and a due time
// never goes back.
#include <cstdint>
#include <optional>

extern "C" {
#include <libavutil/rational.h>
}

namespace platform {

class PresentationTimes {
public:
    // `averageRate` stands in for a missing frame duration; {0, 1} when unknown.
    PresentationTimes(AVRational timeBase, AVRational averageRate);

    // Due time of the next frame from its best-effort timestamp and duration,
    // both in time base units (AV_NOPTS_VALUE and 0 when unknown).
    std::int64_t next(std::int64_t timestamp, std::int64_t duration);

    // Where due time 0 lies on the recording's own timestamps, in
    // nanoseconds: the first frame's timestamp; 0 before a timestamped frame.
    std::int64_t originNanoseconds() const;

    // A timestamp below which every frame is due before `dueNanoseconds`;
    // empty before a timestamped frame fixed the origin, and for good once
    // the timestamps went back.
    std::optional<std::int64_t> timestampDueBefore(std::int64_t dueNanoseconds) const;

private:
    std::int64_t step(std::int64_t duration) const;

    AVRational timeBase_;
    AVRational averageRate_;
    bool anchored_ = false;
    std::int64_t anchorTimestamp_ = 0;
    std::int64_t anchorNanoseconds_ = 0;
    std::int64_t previousNanoseconds_ = -1;
    bool wentBack_ = false;
};

}  // namespace platform
