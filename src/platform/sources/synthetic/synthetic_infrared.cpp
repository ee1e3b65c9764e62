#include "platform/sources/synthetic/synthetic_infrared.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

constexpr double periodSeconds = 150.0;
constexpr double firstSeconds = 45.0;
constexpr double jitterSeconds = 20.0;

struct Stretch {
    double start, seconds;
    InfraredMode mode;
};

Stretch stretchAt(std::uint64_t seed, std::int64_t index) {
    Random random(streamKey(seed, Purpose::infrared, static_cast<std::uint64_t>(index)));
    Stretch stretch{};
    stretch.start = firstSeconds + static_cast<double>(index) * periodSeconds +
                    random.uniform(-jitterSeconds, jitterSeconds);
    stretch.seconds = random.uniform(35.0, 80.0);
    stretch.mode.illumination = random.uniform(0.25, 0.45);
    stretch.mode.gain = random.uniform(1.3, 1.8);
    stretch.mode.contrast = random.uniform(0.55, 0.75);
    return stretch;
}

// The mean gray level, from a sparse sample.
double meanGray(const std::uint8_t* picture) {
    std::uint64_t sum = 0;
    std::uint64_t count = 0;
    for (std::size_t i = 0; i + 2 < pictureBytes; i += 3 * 37, ++count)
        sum += picture[i] + picture[i + 1] + picture[i + 2];
    return static_cast<double>(sum) / (3.0 * static_cast<double>(count));
}

}  // namespace

std::optional<InfraredMode> infraredAt(std::uint64_t seed, double seconds) {
    const auto index = static_cast<std::int64_t>(std::floor((seconds - firstSeconds) / periodSeconds + 0.5));
    for (const std::int64_t candidate : {index - 1, index}) {
        if (candidate < 0) continue;
        const Stretch stretch = stretchAt(seed, candidate);
        if (seconds >= stretch.start && seconds < stretch.start + stretch.seconds) return stretch.mode;
    }
    return std::nullopt;
}

void toInfrared(const InfraredMode& mode, std::uint8_t* picture) {
    const double pivot = meanGray(picture) * mode.gain;
    std::array<std::uint8_t, 256> levels;
    for (int gray = 0; gray < 256; ++gray) {
        const double value = pivot + (gray * mode.gain - pivot) * mode.contrast;
        levels[gray] = static_cast<std::uint8_t>(std::clamp(value + 0.5, 0.0, 255.0));
    }
    // Paints and glass reflect infrared alike: one gray from all three channels.
    for (std::size_t i = 0; i < pictureBytes; i += 3) {
        const int gray = (29 * picture[i] + 150 * picture[i + 1] + 77 * picture[i + 2] + 128) >> 8;
        picture[i] = picture[i + 1] = picture[i + 2] = levels[gray];
    }
}

}  // namespace platform::synthetic
