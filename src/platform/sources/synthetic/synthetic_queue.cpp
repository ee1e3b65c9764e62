#include "platform/sources/synthetic/synthetic_queue.h"

#include <algorithm>

#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

constexpr Lane queueLane = Lane::right;  // the busier one
// Seconds into the stretch at which the queue forms: its first vehicle is
// the lane's first to arrive from then on.
constexpr double earliestQueueSeconds = 30.0;
constexpr double latestQueueSeconds = 60.0;
constexpr double shortestStandSeconds = 60.0;
constexpr double longestStandSeconds = 75.0;
// The first vehicle stands with its rear just beyond the window's top row,
// so that its body covers the window whatever its length, and the next one's
// front is in the picture above the window.
constexpr double firstRearDepth = 17.0;
constexpr double queueGapMetres = 2.5;
// The lane's traffic comes back this long after the queue's last vehicle:
// too late to catch up with it in the picture.
constexpr double resumeSeconds = 8.0;

bool inQueueLane(const Vehicle& vehicle) { return vehicle.lane == queueLane; }

void haltFirst(Vehicle& first, double standSeconds) {
    const double depth = firstRearDepth - first.length;
    const double from = secondsAtFrontDepth(first, depth);
    first.halt = Halt{depth, from, from + standSeconds};
}

// Stops `follower` behind `ahead`, which already stands. Driving at the same
// speed, it never comes closer than the gap.
void haltBehind(const Vehicle& ahead, Vehicle& follower, Random& random) {
    const Halt& aheadHalt = *ahead.halt;
    follower.speed = ahead.speed;
    const double from = aheadHalt.fromSeconds + random.uniform(2.0, 12.0);
    const double to = aheadHalt.toSeconds + random.uniform(1.0, 2.0);  // it sees the one ahead go
    follower.halt = Halt{aheadHalt.frontDepth + ahead.length + queueGapMetres, from, to};
    follower.arrivalSeconds = secondsAtFrontDepth(follower, entryDepth());
}

}  // namespace

void formQueue(std::uint64_t seed, std::int64_t stretch, std::vector<Vehicle>& vehicles,
               std::optional<double> approachSpeed) {
    Random random(streamKey(seed, Purpose::queue, static_cast<std::uint64_t>(stretch)));
    const double formsAt = static_cast<double>(stretch) * trafficStretchSeconds +
                           random.uniform(earliestQueueSeconds, latestQueueSeconds);
    const double standSeconds = random.uniform(shortestStandSeconds, longestStandSeconds);
    int behind = random.chance(0.5) ? 2 : 1;

    const auto first = std::find_if(vehicles.begin(), vehicles.end(), [formsAt](const Vehicle& candidate) {
        return inQueueLane(candidate) && candidate.arrivalSeconds >= formsAt;
    });
    if (first == vehicles.end()) return;
    if (approachSpeed) first->speed = std::min(first->speed, *approachSpeed);
    haltFirst(*first, standSeconds);
    auto last = first;
    for (auto next = first + 1; next != vehicles.end() && behind > 0; ++next) {
        if (!inQueueLane(*next)) continue;
        haltBehind(*last, *next, random);
        last = next;
        --behind;
    }
    const double resumesAt = std::max(last->arrivalSeconds, last->halt->toSeconds) + resumeSeconds;
    vehicles.erase(std::remove_if(last + 1, vehicles.end(),
                                  [resumesAt](const Vehicle& candidate) {
                                      return inQueueLane(candidate) && candidate.arrivalSeconds < resumesAt;
                                  }),
                   vehicles.end());
    std::stable_sort(vehicles.begin(), vehicles.end(), [](const Vehicle& one, const Vehicle& other) {
        return one.arrivalSeconds < other.arrivalSeconds;
    });
}

}  // namespace platform::synthetic
