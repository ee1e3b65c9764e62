#include "platform/sources/synthetic/synthetic_shake.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_noise.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

// Seconds between the knots of each motion, and its size in pixels.
constexpr double windinessKnotSeconds = 70.0;
constexpr double gustKnotSeconds = 3.5;
constexpr double vibrationKnotSeconds = 0.17;
constexpr double swayKnotSeconds = 0.9;
constexpr double driftKnotSeconds = 45.0;
constexpr double largestGustPixels = 6.4;
constexpr double swayPixels = 0.3;
constexpr double driftPixels = 0.9;
// The pole bends less up and down than sideways.
constexpr double verticalShare = 0.6;

std::uint64_t keyOf(std::uint64_t seed, std::uint64_t motion) {
    return streamKey(seed, Purpose::shake, motion);
}

// 0 in calm spells, up to 1 in the strongest gusts; windier stretches of
// minutes bring gusts more often.
double gustiness(std::uint64_t seed, double seconds) {
    const double windiness = 0.5 + 0.5 * smoothNoise(keyOf(seed, 0), seconds / windinessKnotSeconds);
    const double gust = 0.5 + 0.5 * smoothNoise(keyOf(seed, 1), seconds / gustKnotSeconds);
    const double threshold = 0.8 - 0.4 * windiness;
    return smoothStep((gust - threshold) / 0.25) * (0.55 + 0.45 * windiness);
}

double motion(std::uint64_t seed, std::uint64_t axis, double seconds, double gust) {
    const double vibration = smoothNoise(keyOf(seed, 2 + axis), seconds / vibrationKnotSeconds);
    const double sway = smoothNoise(keyOf(seed, 4 + axis), seconds / swayKnotSeconds);
    const double drift = smoothNoise(keyOf(seed, 6 + axis), seconds / driftKnotSeconds);
    return gust * largestGustPixels * vibration + swayPixels * sway + driftPixels * drift;
}

int mirrored(int index, int size) {
    if (index < 0) return -1 - index;
    if (index >= size) return 2 * size - 1 - index;
    return index;
}

// One row of the shaken picture from two rows of the still one, weights in
// 1/65536. Columns whose sources lie inside the row take the quick path.
struct Weights {
    std::uint32_t topLeft, topRight, bottomLeft, bottomRight;
};

void shakeRow(const std::uint8_t* __restrict top, const std::uint8_t* __restrict bottom, int shift,
              const Weights& w, std::uint8_t* __restrict out) {
    const int firstInside = std::max(0, -shift);
    const int lastInside = std::min(pictureWidth - 2, pictureWidth - 2 - shift);
    const auto blend = [&](int left, int right, int channel) {
        const std::uint32_t sum =
            w.topLeft * top[left * 3 + channel] + w.topRight * top[right * 3 + channel] +
            w.bottomLeft * bottom[left * 3 + channel] + w.bottomRight * bottom[right * 3 + channel];
        return static_cast<std::uint8_t>((sum + 32768) >> 16);
    };
    for (int column = 0; column < pictureWidth; ++column) {
        if (column == firstInside && firstInside <= lastInside) {
            const std::uint8_t* t = top + (column + shift) * 3;
            const std::uint8_t* b = bottom + (column + shift) * 3;
            const int bytes = (lastInside - firstInside + 1) * 3;
            std::uint8_t* o = out + column * 3;
            for (int i = 0; i < bytes; ++i) {
                const std::uint32_t sum =
                    w.topLeft * t[i] + w.topRight * t[i + 3] + w.bottomLeft * b[i] + w.bottomRight * b[i + 3];
                o[i] = static_cast<std::uint8_t>((sum + 32768) >> 16);
            }
            column = lastInside;
            continue;
        }
        const int left = mirrored(column + shift, pictureWidth);
        const int right = mirrored(column + shift + 1, pictureWidth);
        for (int channel = 0; channel < 3; ++channel) out[column * 3 + channel] = blend(left, right, channel);
    }
}

}  // namespace

ShakeOffset shakeOffset(std::uint64_t seed, double seconds) {
    const double gust = gustiness(seed, seconds);
    return {motion(seed, 0, seconds, gust), verticalShare * motion(seed, 1, seconds, gust)};
}

void shakePicture(const std::uint8_t* still, ShakeOffset offset, std::uint8_t* shaken) {
    // Shaken (x, y) shows still (x - dx, y - dy).
    const double sourceX = -offset.dx;
    const double sourceY = -offset.dy;
    const int shiftX = static_cast<int>(std::floor(sourceX));
    const int shiftY = static_cast<int>(std::floor(sourceY));
    const double fx = sourceX - shiftX;
    const double fy = sourceY - shiftY;
    const auto weight = [](double share) { return static_cast<std::uint32_t>(share * 65536.0 + 0.5); };
    Weights w{weight((1 - fx) * (1 - fy)), weight(fx * (1 - fy)), weight((1 - fx) * fy), 0};
    w.bottomRight = 65536 - w.topLeft - w.topRight - w.bottomLeft;
    for (int row = 0; row < pictureHeight; ++row) {
        const std::uint8_t* top =
            still + static_cast<std::size_t>(mirrored(row + shiftY, pictureHeight)) * pictureRowBytes;
        const std::uint8_t* bottom =
            still + static_cast<std::size_t>(mirrored(row + shiftY + 1, pictureHeight)) * pictureRowBytes;
        shakeRow(top, bottom, shiftX, w, shaken + static_cast<std::size_t>(row) * pictureRowBytes);
    }
}

}  // namespace platform::synthetic
