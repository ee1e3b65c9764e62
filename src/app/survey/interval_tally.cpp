#include "app/survey/interval_tally.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numeric>

#include "app/picture_record.h"

namespace app::survey {
namespace {

using analysis::survey::Direction;
using analysis::survey::VehicleClass;

// Seconds east of UTC of the local clock at `at`.
double utcOffset(double at) {
    const auto seconds = static_cast<std::time_t>(std::floor(at));
    std::tm local{};
    localtime_r(&seconds, &local);
    return static_cast<double>(local.tm_gmtoff);
}

std::optional<double> v85(std::vector<double> speeds) {
    if (speeds.empty()) return std::nullopt;
    std::sort(speeds.begin(), speeds.end());
    const auto rank = static_cast<std::size_t>(std::ceil(0.85 * static_cast<double>(speeds.size())));
    return speeds[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

IntervalTally::IntervalTally(int minutes, bool recording) : length_(minutes * 60.0), recording_(recording) {}

std::int64_t IntervalTally::indexOf(double at) {
    if (at >= lastStart_ && at < lastEnd_) return lastIndex_;
    const double aligned = recording_ ? at : at + utcOffset(at);
    lastIndex_ = static_cast<std::int64_t>(std::floor(aligned / length_));
    lastStart_ = startOf(lastIndex_);
    lastEnd_ = startOf(lastIndex_ + 1);
    return lastIndex_;
}

double IntervalTally::startOf(std::int64_t index) const {
    const double aligned = static_cast<double>(index) * length_;
    return recording_ ? aligned : aligned - utcOffset(aligned);
}

IntervalTally::Interval& IntervalTally::open(std::int64_t index) {
    if (nextIndex_ < 0) nextIndex_ = index;
    for (; nextIndex_ <= index; ++nextIndex_) open_[nextIndex_];
    if (open_.empty()) open_[index];
    const auto found = open_.find(index);
    // An interval already closed takes nothing more: the earliest open one does.
    return found != open_.end() ? found->second : open_.begin()->second;
}

void IntervalTally::watched(double at, double seconds) { open(indexOf(at)).watched += seconds; }

void IntervalTally::count(double enteredAt, const analysis::survey::PassageMeasures& measures) {
    if (!measures.direction) return;  // what never moved is no traffic
    const Direction direction = *measures.direction;
    seen_.insert(direction);
    DirectionTally& tally = open(indexOf(enteredAt)).directions[direction];
    if (measures.vehicleClass) ++tally.byClass[static_cast<std::size_t>(*measures.vehicleClass)];
    if (measures.vehicleClass == VehicleClass::pedestrian) return;
    ++tally.all;
    if (measures.speedKmh) tally.speeds.push_back(*measures.speedKmh);
}

void IntervalTally::linesOf(std::int64_t index, std::vector<IntervalCount>& lines) const {
    const Interval& interval = open_.at(index);
    IntervalCount line;
    const double start = startOf(index), end = startOf(index + 1);
    line.start = recording_ ? secondsText(start) : localTimestamp({static_cast<std::time_t>(start), 0});
    line.end = recording_ ? secondsText(end) : localTimestamp({static_cast<std::time_t>(end), 0});
    line.watched = std::min(1.0, interval.watched / length_);
    if (seen_.empty()) lines.push_back(line);
    for (const Direction direction : seen_) {
        IntervalCount byDirection = line;
        byDirection.direction = analysis::survey::directionName(direction);
        const auto found = interval.directions.find(direction);
        if (found != interval.directions.end()) {
            const DirectionTally& tally = found->second;
            byDirection.byClass = tally.byClass;
            byDirection.all = tally.all;
            if (!tally.speeds.empty())
                byDirection.meanKmh = std::accumulate(tally.speeds.begin(), tally.speeds.end(), 0.0) /
                                      static_cast<double>(tally.speeds.size());
            byDirection.v85Kmh = v85(tally.speeds);
        }
        lines.push_back(byDirection);
    }
}

void IntervalTally::closeInto(std::int64_t index, std::vector<IntervalCount>& lines) {
    linesOf(index, lines);
    open_.erase(index);
}

std::vector<IntervalCount> IntervalTally::closeBefore(double now) {
    open(indexOf(now));
    std::vector<IntervalCount> lines;
    while (open_.size() > 1 && startOf(open_.begin()->first + 1) + closingDelay <= now)
        closeInto(open_.begin()->first, lines);
    return lines;
}

std::vector<IntervalCount> IntervalTally::current() const {
    std::vector<IntervalCount> lines;
    if (!open_.empty()) linesOf(open_.rbegin()->first, lines);
    return lines;
}

std::vector<IntervalCount> IntervalTally::closeAll() {
    std::vector<IntervalCount> lines;
    while (!open_.empty()) closeInto(open_.begin()->first, lines);
    return lines;
}

}  // namespace app::survey
