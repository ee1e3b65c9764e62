#include "platform/sources/synthetic/synthetic_exposure.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

// Step n falls within stepJitterSeconds of n * stepPeriodSeconds: at most
// half a period off, so the step in force is always one of two.
constexpr double stepPeriodSeconds = 27.5;
constexpr double stepJitterSeconds = 6.25;
const double largestStep = std::log(1.25);

struct Step {
    double seconds;
    double gain;
};

// Step 0 is the gain of 1 the camera starts with.
Step stepAt(std::uint64_t seed, std::int64_t index) {
    if (index <= 0) return {-std::numeric_limits<double>::infinity(), 1.0};
    Random random(streamKey(seed, Purpose::exposure, static_cast<std::uint64_t>(index)));
    const double seconds = static_cast<double>(index) * stepPeriodSeconds +
                           random.uniform(-stepJitterSeconds, stepJitterSeconds);
    // Odd steps below 1, even ones above: every step is a clear jump, and no
    // two steps together go beyond the largest.
    const double size = random.uniform(largestStep / 8, largestStep / 2);
    return {seconds, std::exp(index % 2 == 1 ? -size : size)};
}

std::int64_t stepInForce(std::uint64_t seed, double seconds) {
    auto index = static_cast<std::int64_t>(std::floor((seconds + stepJitterSeconds) / stepPeriodSeconds));
    if (index >= 1 && stepAt(seed, index).seconds > seconds) --index;
    return std::max<std::int64_t>(index, 0);
}

}  // namespace

double cameraGain(std::uint64_t seed, double seconds) {
    return stepAt(seed, stepInForce(seed, seconds)).gain;
}

std::vector<ExposureStep> exposureSteps(std::uint64_t seed, double fromSeconds, double toSeconds) {
    std::vector<ExposureStep> steps;
    for (std::int64_t index = stepInForce(seed, fromSeconds);; ++index) {
        const Step step = stepAt(seed, index);
        if (step.seconds > toSeconds) return steps;
        if (step.seconds >= fromSeconds)
            steps.push_back({step.seconds, stepAt(seed, index - 1).gain, step.gain});
    }
}

}  // namespace platform::synthetic
