#pragma once
// The light that lamps throw on the road in one frame, gathered on a coarse
// grid (it changes over tens of pixels) and then added to the picture in one
// pass: the road as painted in full light times the light, channel by
// channel, so lit road keeps its texture.
#include <cstdint>
#include <vector>

#include "platform/sources/synthetic/synthetic_layout.h"

namespace platform::synthetic {

class LightMap {
public:
    static constexpr int step = 4;
    static constexpr int columns = pictureWidth / step + 1;
    static constexpr int rows = pictureHeight / step + 1;

    LightMap();

    void clear();
    // The light at grid node (column, row), blue green red, in shares of daylight.
    float* at(int column, int row) { return &light_[(static_cast<std::size_t>(row) * columns + column) * 3]; }

    // Adds `road` (pictureBytes) times the light to `picture`, clipping at 255.
    void addTo(const std::uint8_t* road, std::uint8_t* picture) const;

private:
    std::vector<float> light_;
    mutable std::vector<std::uint32_t> fixed_;
    mutable std::vector<std::uint32_t> rowLight_;
};

}  // namespace platform::synthetic
