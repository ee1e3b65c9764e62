#include "platform/sources/synthetic/synthetic_light_map.h"

#include <algorithm>
#include <array>

namespace platform::synthetic {

LightMap::LightMap()
    : light_(static_cast<std::size_t>(columns) * rows * 3),
      fixed_(light_.size()),
      rowLight_(pictureRowBytes) {}

void LightMap::clear() { std::fill(light_.begin(), light_.end(), 0.0f); }

void LightMap::addTo(const std::uint8_t* road, std::uint8_t* picture) const {
    constexpr int nodeBytes = columns * 3;
    // In 1/1024 of daylight; interpolated below to 1/16384.
    for (std::size_t i = 0; i < light_.size(); ++i)
        fixed_[i] = static_cast<std::uint32_t>(std::max(0.0f, light_[i]) * 1024.0f + 0.5f);
    std::array<std::uint32_t, nodeBytes> nodes;
    for (int row = 0; row < pictureHeight; ++row) {
        const std::uint32_t down = row % step;
        const std::uint32_t* upper = &fixed_[static_cast<std::size_t>(row / step) * nodeBytes];
        const std::uint32_t* lower = upper + nodeBytes;
        for (int i = 0; i < nodeBytes; ++i) nodes[i] = upper[i] * (step - down) + lower[i] * down;
        std::uint32_t* light = rowLight_.data();
        for (int node = 0; node + 1 < columns; ++node) {
            const std::uint32_t* left = &nodes[node * 3];
            for (std::uint32_t part = 0; part < step; ++part) {
                for (int channel = 0; channel < 3; ++channel)
                    *light++ = left[channel] * (step - part) + left[channel + 3] * part;
            }
        }
        const std::size_t offset = static_cast<std::size_t>(row) * pictureRowBytes;
        const std::uint8_t* __restrict in = road + offset;
        std::uint8_t* __restrict out = picture + offset;
        const std::uint32_t* __restrict lit = rowLight_.data();
        for (int i = 0; i < pictureRowBytes; ++i)
            out[i] = static_cast<std::uint8_t>(
                std::min<std::uint32_t>(255, out[i] + ((in[i] * lit[i] + 8192) >> 14)));
    }
}

}  // namespace platform::synthetic
