#include "platform/sources/synthetic/synthetic_street_lamp.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_noise.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

constexpr double lampLateral = 5.6;
constexpr double lampDepth = 14.5;
constexpr double lampHeight = 7.5;
// The pool's light at its brightest, as a share of daylight, and the lamp's
// colour (blue, green, red).
constexpr double poolPeak = 0.42;
constexpr double sodium[3] = {0.20, 0.60, 1.00};

}  // namespace

StreetLamp::StreetLamp(std::uint64_t seed, const std::optional<NightStretch>& night) {
    if (!night) return;
    Random random(streamKey(seed, Purpose::streetLamp));
    const double dark =
        night->fromSeconds + std::min(nightFadeSeconds, (night->toSeconds - night->fromSeconds) / 2);
    const double dawn =
        night->toSeconds - std::min(nightFadeSeconds, (night->toSeconds - night->fromSeconds) / 2);
    onSeconds_ = dark + random.uniform(0.02, 0.3) * (dawn - dark);
    offSeconds_ = dawn - random.uniform(0.0, 0.1) * (dawn - dark);
    warmUpSeconds_ = random.uniform(15.0, 45.0);
    flickers_.push_back(
        {onSeconds_ + random.uniform(0.4, 3.0), random.uniform(0.08, 0.4), random.uniform(0.7, 1.0)});
    if (random.chance(0.6))
        flickers_.push_back({random.uniform(onSeconds_ + 10.0, std::max(offSeconds_, onSeconds_ + 10.0)),
                             random.uniform(0.1, 0.7), random.uniform(0.5, 1.0)});
    pool_.resize(static_cast<std::size_t>(LightMap::columns) * LightMap::rows * 3);
    for (int row = 0; row < LightMap::rows; ++row) {
        for (int column = 0; column < LightMap::columns; ++column) {
            const double pictureRow = row * LightMap::step;
            const double lateral = (column * LightMap::step - vanishingColumn) / pixelsPerMetre(pictureRow);
            const double light = poolPeak * poolAt(lateral, roadDepth(pictureRow));
            for (int channel = 0; channel < 3; ++channel)
                pool_[(static_cast<std::size_t>(row) * LightMap::columns + column) * 3 + channel] =
                    static_cast<float>(light * sodium[channel]);
        }
    }
}

double StreetLamp::poolAt(double lateral, double depth) {
    const double across = lateral - lampLateral;
    const double along = depth - lampDepth;
    const double share =
        lampHeight * lampHeight / (lampHeight * lampHeight + across * across + along * along);
    return share * std::sqrt(share);
}

double StreetLamp::brightness(double seconds) const {
    if (pool_.empty() || seconds < onSeconds_ || seconds >= offSeconds_) return 0.0;
    // A sodium lamp starts dim and pinkish and takes a while to come up.
    double level = 0.35 + 0.65 * smoothStep((seconds - onSeconds_) / warmUpSeconds_);
    for (const Flicker& flicker : flickers_)
        if (seconds >= flicker.seconds && seconds < flicker.seconds + flicker.length)
            level *= 1.0 - flicker.depth;
    return level;
}

void StreetLamp::lightRoad(double brightness, LightMap& light) const {
    if (brightness <= 0.0) return;
    const auto scale = static_cast<float>(brightness);
    for (int row = 0; row < LightMap::rows; ++row) {
        for (int column = 0; column < LightMap::columns; ++column) {
            const float* pool = &pool_[(static_cast<std::size_t>(row) * LightMap::columns + column) * 3];
            float* node = light.at(column, row);
            for (int channel = 0; channel < 3; ++channel) node[channel] += pool[channel] * scale;
        }
    }
}

}  // namespace platform::synthetic
