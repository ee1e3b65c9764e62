#include "platform/sources/synthetic/synthetic_clouds.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

// Cloud n starts within cloudJitterSeconds of n * cloudPeriodSeconds.
constexpr double cloudPeriodSeconds = 40.0;
constexpr double cloudJitterSeconds = 10.0;

CloudShadow cloudAt(std::uint64_t seed, std::int64_t index) {
    Random random(streamKey(seed, Purpose::clouds, static_cast<std::uint64_t>(index)));
    CloudShadow shadow{};
    shadow.startSeconds = static_cast<double>(index) * cloudPeriodSeconds +
                          random.uniform(-cloudJitterSeconds, cloudJitterSeconds);
    shadow.seconds = random.uniform(4.0, 15.0);
    shadow.depth = random.uniform(0.2, 0.4);
    return shadow;
}

double smooth(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

}  // namespace

std::vector<CloudShadow> cloudShadows(std::uint64_t seed, double fromSeconds, double toSeconds) {
    std::vector<CloudShadow> shadows;
    // Shadows last under half a period: none from before the last period reaches in.
    auto index = static_cast<std::int64_t>(std::floor(fromSeconds / cloudPeriodSeconds)) - 1;
    for (index = std::max<std::int64_t>(index, 1);; ++index) {
        const CloudShadow shadow = cloudAt(seed, index);
        if (shadow.startSeconds > toSeconds) return shadows;
        if (shadow.endSeconds() >= fromSeconds) shadows.push_back(shadow);
    }
}

std::optional<CloudShadow> cloudShadowAt(std::uint64_t seed, double seconds) {
    // Shadows last under half a period and never overlap.
    for (auto index = static_cast<std::int64_t>(std::floor(seconds / cloudPeriodSeconds)) - 1;; ++index) {
        if (index < 1) continue;
        const CloudShadow shadow = cloudAt(seed, index);
        if (shadow.startSeconds > seconds) return std::nullopt;
        if (shadow.endSeconds() >= seconds) return shadow;
    }
}

double cloudShade(const CloudShadow& shadow, double seconds, double column) {
    const double local = seconds - shadow.startSeconds - cloudSweepSeconds * column / pictureWidth;
    const double cover =
        smooth(local / cloudEdgeSeconds) - smooth((local - shadow.seconds) / cloudEdgeSeconds);
    return 1.0 - shadow.depth * cover;
}

}  // namespace platform::synthetic
