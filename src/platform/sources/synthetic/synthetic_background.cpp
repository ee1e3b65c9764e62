#include "platform/sources/synthetic/synthetic_background.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

enum class Ground { asphalt, marking, grass };

struct Surface {
    double blue, green, red;
    double blotchDepth;  // how strongly large patches lighten or darken it
    double grain;        // gray levels of pixel-to-pixel roughness
};

constexpr Surface asphaltSurface{108, 106, 104, 0.05, 5};
constexpr Surface markingSurface{186, 188, 188, 0.06, 4};
constexpr Surface grassSurface{58, 98, 72, 0.12, 9};

const Surface& surfaceOf(Ground ground) {
    switch (ground) {
        case Ground::asphalt:
            return asphaltSurface;
        case Ground::marking:
            return markingSurface;
        case Ground::grass:
            break;
    }
    return grassSurface;
}

Ground groundAt(double column, double row) {
    const double lateral = (column - vanishingColumn) / pixelsPerMetre(row);
    const double depth = roadDepth(row);
    if (!asphalt.contains(lateral)) return Ground::grass;
    if (leftEdgeLine.contains(lateral) || rightEdgeLine.contains(lateral) || stopLine.contains(depth)) {
        return Ground::marking;
    }
    if (centreLine.contains(lateral) && std::fmod(depth, centreDashPeriod) < centreDashLength) {
        return Ground::marking;
    }
    return Ground::asphalt;
}

double latticeValue(std::uint64_t key, std::int64_t x, std::int64_t y) {
    const auto cell = static_cast<std::uint64_t>(x) * 0x100000001b3ull + static_cast<std::uint64_t>(y);
    return unitInterval(mix(key + goldenGamma * cell)) * 2.0 - 1.0;
}

double smooth(double t) { return t * t * (3.0 - 2.0 * t); }

// Smooth noise in [-1, 1] with patches about `cell` pixels across.
double patchNoise(std::uint64_t key, double x, double y, double cell) {
    const double gx = x / cell;
    const double gy = y / cell;
    const double fx = std::floor(gx);
    const double fy = std::floor(gy);
    const auto ix = static_cast<std::int64_t>(fx);
    const auto iy = static_cast<std::int64_t>(fy);
    const double tx = smooth(gx - fx);
    const double ty = smooth(gy - fy);
    const double top = latticeValue(key, ix, iy) * (1 - tx) + latticeValue(key, ix + 1, iy) * tx;
    const double bottom = latticeValue(key, ix, iy + 1) * (1 - tx) + latticeValue(key, ix + 1, iy + 1) * tx;
    return top * (1 - ty) + bottom * ty;
}

std::uint8_t toByte(double value) { return static_cast<std::uint8_t>(std::clamp(value + 0.5, 0.0, 255.0)); }

class RoadPainter {
public:
    explicit RoadPainter(std::uint64_t seed)
        : asphaltKey_(streamKey(seed, Purpose::asphalt)),
          vergeKey_(streamKey(seed, Purpose::verge)),
          markingKey_(streamKey(seed, Purpose::markings)) {}

    void paintPixel(int column, int row, std::uint8_t* pixel) const {
        // Four samples per pixel soften the edges of the markings and verges.
        double blue = 0, green = 0, red = 0, grain = 0;
        double blotches[3];
        bool known[3] = {false, false, false};
        for (const double dy : {0.25, 0.75}) {
            for (const double dx : {0.25, 0.75}) {
                const Ground ground = groundAt(column + dx, row + dy);
                const auto index = static_cast<int>(ground);
                if (!known[index]) {
                    blotches[index] = blotch(ground, column, row);
                    known[index] = true;
                }
                const Surface& surface = surfaceOf(ground);
                const double shade = 1.0 + surface.blotchDepth * blotches[index];
                blue += surface.blue * shade / 4;
                green += surface.green * shade / 4;
                red += surface.red * shade / 4;
                grain += surface.grain / 4;
            }
        }
        Random random(
            mix(asphaltKey_ ^ (static_cast<std::uint64_t>(row) << 32 | static_cast<unsigned>(column))));
        const double rough = grain * random.uniform(-1.0, 1.0);
        pixel[0] = toByte(blue + rough + random.uniform(-1.0, 1.0));
        pixel[1] = toByte(green + rough + random.uniform(-1.0, 1.0));
        pixel[2] = toByte(red + rough + random.uniform(-1.0, 1.0));
    }

private:
    double blotch(Ground ground, int column, int row) const {
        switch (ground) {
            case Ground::asphalt:
                return 0.7 * patchNoise(asphaltKey_, column, row, 40) +
                       0.3 * patchNoise(asphaltKey_, column, row, 7);
            case Ground::marking:
                // Worn paint only ever gets darker.
                return -std::abs(patchNoise(markingKey_, column, row, 12));
            case Ground::grass:
                break;
        }
        return 0.6 * patchNoise(vergeKey_, column, row, 30) + 0.4 * patchNoise(vergeKey_, column, row, 5);
    }

    std::uint64_t asphaltKey_;
    std::uint64_t vergeKey_;
    std::uint64_t markingKey_;
};

}  // namespace

void paintRoad(std::uint64_t seed, std::uint8_t* picture) {
    const RoadPainter painter(seed);
    for (int row = 0; row < pictureHeight; ++row) {
        std::uint8_t* pixel = picture + static_cast<std::size_t>(row) * pictureRowBytes;
        for (int column = 0; column < pictureWidth; ++column, pixel += 3)
            painter.paintPixel(column, row, pixel);
    }
}

}  // namespace platform::synthetic
