#include "platform/sources/synthetic/synthetic_soft_clouds.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_noise.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

// Along the wind the sky is cut into cells, each with one cloud.
constexpr double cellMetres = 700.0;
// The shade is computed on a grid this many pixels apart and interpolated:
// its edges are far wider than that.
constexpr int gridStep = 8;
constexpr int gridColumns = pictureWidth / gridStep + 1;
constexpr int gridRows = pictureHeight / gridStep + 1;

struct Wind {
    double speed;     // metres per second
    double along[2];  // unit vector across and along the road
};

Wind windOf(std::uint64_t seed) {
    Random random(streamKey(seed, Purpose::softClouds, 0));
    const double speed = random.uniform(4.0, 11.0);
    const double heading = random.uniform(0.0, 6.283185307179586);
    return {speed, {std::cos(heading), std::sin(heading)}};
}

struct Cloud {
    double start, length, depth, edge;
};

Cloud cloudIn(std::uint64_t seed, std::int64_t cell) {
    Random random(streamKey(seed, Purpose::softClouds, 16 + static_cast<std::uint64_t>(cell)));
    Cloud cloud{};
    cloud.start = random.uniform(0.0, 150.0);
    cloud.length = random.uniform(150.0, 535.0);
    cloud.depth = random.uniform(0.2, 0.5);
    cloud.edge = random.uniform(1.0, 3.5);
    return cloud;
}

std::uint64_t key(std::uint64_t seed, std::uint64_t which) {
    return streamKey(seed, Purpose::softClouds, which);
}

}  // namespace

double softCloudLight(std::uint64_t seed, double seconds, double lateral, double depth) {
    const Wind wind = windOf(seed);
    // Gusts speed the drift up and slow it down a little.
    const double travel = wind.speed * seconds + 30.0 * smoothNoise(key(seed, 1), seconds / 120.0);
    const double across = -lateral * wind.along[1] + depth * wind.along[0];
    // Ragged edges: the outline wanders by metres over tens of metres.
    const double ragged =
        4.0 * smoothNoise(key(seed, 2), across / 14.0) + 1.2 * smoothNoise(key(seed, 3), across / 3.0);
    const double along = lateral * wind.along[0] + depth * wind.along[1] - travel + ragged;
    const auto cell = static_cast<std::int64_t>(std::floor(along / cellMetres));
    const Cloud cloud = cloudIn(seed, cell);
    const double inside = along - static_cast<double>(cell) * cellMetres - cloud.start;
    const double cover = smoothStep(inside / cloud.edge) * smoothStep((cloud.length - inside) / cloud.edge);
    // Thinner and thicker parts within one cloud.
    const double thickness = 0.8 + 0.2 * smoothNoise(key(seed, 4), along / 60.0);
    return 1.0 - cover * cloud.depth * thickness;
}

void shadeSoftClouds(std::uint64_t seed, double seconds, std::uint8_t* picture) {
    static thread_local std::array<float, gridColumns * gridRows> grid;
    for (int gy = 0; gy < gridRows; ++gy) {
        const double row = gy * gridStep;
        for (int gx = 0; gx < gridColumns; ++gx) {
            const double lateral = (gx * gridStep - vanishingColumn) / pixelsPerMetre(row);
            grid[gy * gridColumns + gx] =
                static_cast<float>(softCloudLight(seed, seconds, lateral, roadDepth(row)));
        }
    }
    std::array<std::uint32_t, pictureRowBytes> scales;
    std::array<float, gridColumns> nodes;
    for (int row = 0; row < pictureHeight; ++row) {
        const float down = static_cast<float>(row % gridStep) / gridStep;
        const float* upper = &grid[(row / gridStep) * gridColumns];
        const float* lower = &grid[std::min(row / gridStep + 1, gridRows - 1) * gridColumns];
        for (int i = 0; i < gridColumns; ++i) nodes[i] = upper[i] + (lower[i] - upper[i]) * down;
        std::uint32_t* scale = scales.data();
        for (int node = 0; node + 1 < gridColumns; ++node) {
            for (int part = 0; part < gridStep; ++part) {
                const float value = nodes[node] + (nodes[node + 1] - nodes[node]) * part / gridStep;
                const auto fixed = static_cast<std::uint32_t>(value * 65536.0f + 0.5f);
                *scale++ = fixed;
                *scale++ = fixed;
                *scale++ = fixed;
            }
        }
        std::uint8_t* __restrict pixel = picture + static_cast<std::size_t>(row) * pictureRowBytes;
        for (int i = 0; i < pictureRowBytes; ++i)
            pixel[i] = static_cast<std::uint8_t>((pixel[i] * scales[i] + 32768) >> 16);
    }
}

}  // namespace platform::synthetic
