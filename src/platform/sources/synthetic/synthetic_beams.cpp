#include "platform/sources/synthetic/synthetic_beams.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_random.h"
#include "platform/sources/synthetic/synthetic_vehicle_painter.h"

namespace platform::synthetic {
namespace {

// The beams rise over the first metres ahead of the bumper and then fall
// off with the square of the distance beyond fallMetres.
constexpr double riseMetres = 2.5;
constexpr double fallMetres = 19.0;
constexpr double farthestMetres = 60.0;
// The light spreads across the road about 10 degrees each way.
constexpr double spreadAtLamp = 0.35;
constexpr double spreadPerMetre = 0.17;

double beamProfile(double ahead) {
    if (ahead <= 0.3 || ahead > farthestMetres) return 0.0;
    const double rise = std::min(1.0, (ahead - 0.3) / riseMetres);
    const double fall = 1.0 / (1.0 + (ahead / fallMetres) * (ahead / fallMetres));
    return rise * rise * (3.0 - 2.0 * rise) * fall;
}

// exp(-x^2 / 2) for x from 0 to 3.5 in steps of 1/32.
constexpr int gaussSteps = 32;
constexpr int gaussLength = 3 * gaussSteps + gaussSteps / 2;
const std::array<float, gaussLength + 1>& gaussTable() {
    static const std::array<float, gaussLength + 1> table = [] {
        std::array<float, gaussLength + 1> values{};
        for (int i = 0; i < gaussLength; ++i) {
            const double x = static_cast<double>(i) / gaussSteps;
            values[i] = static_cast<float>(std::exp(-x * x / 2));
        }
        return values;
    }();
    return table;
}

float gauss(float distanceInSigmas) {
    const auto index = static_cast<int>(std::abs(distanceInSigmas) * gaussSteps);
    return gaussTable()[std::min(index, gaussLength)];
}

std::uint8_t* pixelAt(std::uint8_t* picture, int row, int column) {
    return picture + static_cast<std::size_t>(row) * pictureRowBytes + static_cast<std::size_t>(column) * 3;
}

int rowAt(double depth) { return static_cast<int>(std::floor(rowAtDepth(depth))); }

}  // namespace

LampLight lampLightOf(std::uint64_t seed, const Vehicle& vehicle) {
    Random random(
        mix(streamKey(seed, Purpose::lamps) ^ std::bit_cast<std::uint64_t>(vehicle.arrivalSeconds)));
    const double blueness = random.uniform();
    const bool led = random.chance(0.35);
    const double beam = random.uniform(0.45, 0.8);
    if (led) return {1.0, 0.97 - 0.04 * blueness, 0.90 - 0.06 * blueness, beam};
    return {0.72 + 0.1 * blueness, 0.9, 1.0, beam * 0.85};
}

double beamReachMetres() { return fallMetres * std::sqrt(3.0); }

void lightRoadAhead(const Vehicle& vehicle, double seconds, const LampLight& lamps, double share, bool wet,
                    LightMap& light) {
    const double front = frontDepth(vehicle, seconds);
    if (front <= 0.3) return;
    const double strength = lamps.beam * share * (wet ? 0.6 : 1.0);
    const double lampOffset = vehicle.width / 2 * headLampSide;
    const int firstNode = std::max(0, static_cast<int>(std::ceil(rowAtDepth(front - 0.3) / LightMap::step)));
    for (int node = firstNode; node < LightMap::rows; ++node) {
        const double row = node * LightMap::step;
        const double ahead = front - roadDepth(row);
        const double level = strength * beamProfile(ahead);
        if (ahead > farthestMetres) break;
        if (level * 255.0 < 0.3) continue;
        const double metre = pixelsPerMetre(row);
        const double sigma = (spreadAtLamp + spreadPerMetre * ahead) * metre;
        // Low beams reach further toward the kerb on the right.
        const double middle = columnAt(vehicle.lateral + 0.04 * ahead, row);
        const double left = middle - lampOffset * metre;
        const double right = middle + lampOffset * metre;
        const int from = std::max(0, static_cast<int>((left - 3.5 * sigma) / LightMap::step));
        const int to =
            std::min(LightMap::columns - 1, static_cast<int>((right + 3.5 * sigma) / LightMap::step) + 1);
        const auto inverse = static_cast<float>(1.0 / sigma);
        for (int column = from; column <= to; ++column) {
            const auto x = static_cast<float>(column * LightMap::step);
            const float lit = static_cast<float>(level) * 0.5f *
                              (gauss((x - static_cast<float>(left)) * inverse) +
                               gauss((x - static_cast<float>(right)) * inverse));
            float* node3 = light.at(column, node);
            node3[0] += lit * static_cast<float>(lamps.blue);
            node3[1] += lit * static_cast<float>(lamps.green);
            node3[2] += lit * static_cast<float>(lamps.red);
        }
    }
}

void reflectLamps(const Vehicle& vehicle, double seconds, const LampLight& lamps, double share,
                  const std::uint8_t* road, std::uint8_t* picture) {
    const double front = frontDepth(vehicle, seconds);
    if (front <= 1.0) return;
    const int firstRow = std::max(0, rowAt(front) + 1);
    const int lastRow = std::min(pictureHeight - 1, rowAt(front * 0.62));
    const double length = std::max(1, lastRow - rowAt(front));
    for (int row = firstRow; row <= lastRow; ++row) {
        const double along = (row - rowAt(front)) / length;
        const double level = share * 1.6 * std::pow(1.0 - along, 1.5);
        const double half = std::max(1.2, 0.07 * pixelsPerMetre(row) * (1.0 + along));
        const double centre = columnAt(vehicle.lateral, row);
        for (const double side : {-1.0, 1.0}) {
            const double lamp = centre + side * headLampSide * vehicle.width / 2 * pixelsPerMetre(row);
            const int from = std::max(0, static_cast<int>(lamp - 3 * half));
            const int to = std::min(pictureWidth - 1, static_cast<int>(lamp + 3 * half));
            for (int column = from; column <= to; ++column) {
                const std::size_t at = static_cast<std::size_t>(row) * pictureRowBytes + column * 3;
                // The wet film glitters where the asphalt's grain catches the light.
                const float glitter = std::clamp((road[at + 1] - 60.0f) / 50.0f, 0.1f, 1.6f);
                const float light = static_cast<float>(level) * glitter *
                                    gauss(static_cast<float>((column - lamp) / half)) * 255.0f;
                const float colour[3] = {static_cast<float>(lamps.blue), static_cast<float>(lamps.green),
                                         static_cast<float>(lamps.red)};
                std::uint8_t* pixel = pixelAt(picture, row, column);
                for (int channel = 0; channel < 3; ++channel)
                    pixel[channel] = static_cast<std::uint8_t>(
                        std::min(255.0f, pixel[channel] + light * colour[channel] + 0.5f));
            }
        }
    }
}

void glowBehind(const Vehicle& vehicle, double seconds, double share, LightMap& light) {
    const double rear = frontDepth(vehicle, seconds) + vehicle.length;
    const double hidden = apparentDepth(rear, vehicle.height);
    const int firstNode = std::max(0, static_cast<int>(std::ceil(rowAtDepth(rear + 5.0) / LightMap::step)));
    const int lastNode =
        std::min(LightMap::rows - 1, static_cast<int>(std::floor(rowAtDepth(hidden) / LightMap::step)));
    for (int node = firstNode; node <= lastNode; ++node) {
        const double row = node * LightMap::step;
        const double behind = roadDepth(row) - rear;
        const auto level = static_cast<float>(0.22 * share * std::exp(-behind / 1.5));
        const double metre = pixelsPerMetre(row);
        const double centre = columnAt(vehicle.lateral, row);
        const double sigma = vehicle.width * 0.45 * metre;
        const int from = std::max(0, static_cast<int>((centre - 2.5 * sigma) / LightMap::step));
        const int to =
            std::min(LightMap::columns - 1, static_cast<int>((centre + 2.5 * sigma) / LightMap::step) + 1);
        for (int column = from; column <= to; ++column) {
            const float lit = level * gauss(static_cast<float>((column * LightMap::step - centre) / sigma));
            float* node3 = light.at(column, node);
            node3[0] += lit * 0.06f;
            node3[1] += lit * 0.10f;
            node3[2] += lit;
        }
    }
}

bool beamInDetectionWindow(const Vehicle& vehicle, double seconds, double rowShift) {
    const double front = frontDepth(vehicle, seconds);
    const double nearest = roadDepth(detectionWindowBottomRow + 0.5 - rowShift);
    const double farthest = roadDepth(detectionWindowTopRow - 0.5 - rowShift);
    return front - 0.3 > nearest && front - beamReachMetres() < farthest;
}

}  // namespace platform::synthetic
