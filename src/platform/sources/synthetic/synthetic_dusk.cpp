#include "platform/sources/synthetic/synthetic_dusk.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_noise.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

// Change n starts within changeJitterSeconds of n * changePeriodSeconds and
// is over before the next one can start.
constexpr double changePeriodSeconds = 100.0;
constexpr double changeJitterSeconds = 20.0;

struct Change {
    double start, seconds, dimmed;
};

Change changeAt(std::uint64_t seed, std::int64_t index) {
    Random random(streamKey(seed, Purpose::dusk, static_cast<std::uint64_t>(index)));
    Change change{};
    change.start = static_cast<double>(index) * changePeriodSeconds +
                   random.uniform(-changeJitterSeconds, changeJitterSeconds);
    change.seconds = random.uniform(30.0, 55.0);
    change.dimmed = random.uniform(0.42, 0.60);
    return change;
}

// Odd changes dim the light to their own share, even ones bring it back
// from the share of the one before.
double levelAfter(std::uint64_t seed, std::int64_t index) {
    return index % 2 == 1 ? changeAt(seed, index).dimmed : 1.0;
}

}  // namespace

double duskLight(std::uint64_t seed, double seconds) {
    auto index = static_cast<std::int64_t>(std::floor((seconds + changeJitterSeconds) / changePeriodSeconds));
    if (index >= 1 && changeAt(seed, index).start > seconds) --index;
    if (index < 1) return 1.0;
    const Change change = changeAt(seed, index);
    const double before = index % 2 == 0 ? changeAt(seed, index - 1).dimmed : 1.0;
    const double after = levelAfter(seed, index);
    // The light changes in proportion, as the eye and the camera see it.
    const double t = smoothStep((seconds - change.start) / change.seconds);
    return before * std::pow(after / before, t);
}

}  // namespace platform::synthetic
