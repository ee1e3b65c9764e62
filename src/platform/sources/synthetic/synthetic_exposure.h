#pragma once
// The camera's automatic exposure, when the scene asks for it: now and then
// the gain steps up or down from one frame to the next and stays until the
// next step, as a camera does when it meters the scene anew.
#include <cstdint>
#include <vector>

namespace platform::synthetic {

struct ExposureStep {
    double seconds;  // the first moment of the new gain
    double gainBefore;
    double gainAfter;
};

// 15 to 40 s from one step to the next, the first between 21 and 34 s. The
// gain starts at 1 and goes alternately down and up, each step by a factor of
// 1.057 to 1.25, so it stays between 0.89 and 1.12.
double cameraGain(std::uint64_t seed, double seconds);

// The steps from fromSeconds to toSeconds, both included, in order.
std::vector<ExposureStep> exposureSteps(std::uint64_t seed, double fromSeconds, double toSeconds);

}  // namespace platform::synthetic
