#pragma once
// The counts of the survey's intervals of COUNT_MINUTES: on the hour's
// boundaries of the local clock for a live source, of the position from 0
// for a recording. Each interval gathers its vehicles, by direction and
// class, and the time the mode really watched in it; it is closed a little
// after its end, so a vehicle that came in before the end and left after it
// still counts in it.
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "analysis/survey/passage_measures.h"
#include "app/survey/survey_records.h"

namespace app::survey {

// Times on the survey's time line: a position in the recording, or seconds
// since the epoch for a live source.
class IntervalTally {
public:
    IntervalTally(int minutes, bool recording);

    // `seconds` of watching that ended at `at`.
    void watched(double at, double seconds);
    void count(double enteredAt, const analysis::survey::PassageMeasures& measures);
    // The lines of every interval that ended long enough before `now`,
    // intervals nothing happened in included.
    std::vector<IntervalCount> closeBefore(double now);
    // And the last ones, partial, when watching ends.
    std::vector<IntervalCount> closeAll();
    // The newest interval so far, as its lines would be if it closed now;
    // nothing when none is open.
    std::vector<IntervalCount> current() const;

    // How long after its end an interval is closed.
    static constexpr double closingDelay = 10.0;

private:
    struct DirectionTally {
        std::array<std::int32_t, classCount> byClass{};
        std::int32_t all = 0;
        std::vector<double> speeds;
    };
    struct Interval {
        double watched = 0;
        std::map<analysis::survey::Direction, DirectionTally> directions;
    };

    std::int64_t indexOf(double at);
    double startOf(std::int64_t index) const;
    Interval& open(std::int64_t index);
    void linesOf(std::int64_t index, std::vector<IntervalCount>& lines) const;
    void closeInto(std::int64_t index, std::vector<IntervalCount>& lines);

    double length_;
    bool recording_;
    std::map<std::int64_t, Interval> open_;
    std::int64_t nextIndex_ = -1;  // the first index not yet opened; -1 before any
    std::set<analysis::survey::Direction> seen_;
    // The interval of the last time looked up: the local clock's offset is
    // asked for only when a time falls outside it.
    std::int64_t lastIndex_ = 0;
    double lastStart_ = 1, lastEnd_ = 0;
};

}  // namespace app::survey
