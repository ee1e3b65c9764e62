#include "platform/sources/synthetic/synthetic_rain.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_noise.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

std::uint8_t brighten(std::uint8_t value, int amount) {
    return static_cast<std::uint8_t>(std::min(255, value + amount));
}

// Adds `amount` to a pixel, a drop catching the light, more on bright ground.
void lighten(std::uint8_t* picture, int column, int row, int amount) {
    if (column < 0 || column >= pictureWidth || row < 0 || row >= pictureHeight) return;
    std::uint8_t* pixel = picture + static_cast<std::size_t>(row) * pictureRowBytes + column * 3;
    const int lit = amount * (96 + pixel[1]) >> 8;
    for (int channel = 0; channel < 3; ++channel) pixel[channel] = brighten(pixel[channel], lit);
}

// A drop falling during the exposure: a thin line, faint at its ends.
void drawStreak(std::uint8_t* picture, double column, double row, double length, double slant, int amount) {
    const int steps = static_cast<int>(length);
    for (int step = 0; step <= steps; ++step) {
        const double along = static_cast<double>(step) / std::max(steps, 1);
        const int fade = static_cast<int>(amount * (1.0 - std::abs(2.0 * along - 1.0) * 0.7));
        lighten(picture, static_cast<int>(column + slant * step), static_cast<int>(row + step), fade);
    }
}

// A drop bursting on the road: a few bright pixels in a flat crown.
void drawSplash(std::uint8_t* picture, int column, int row, int size, int amount) {
    for (int dx = -size; dx <= size; ++dx) {
        lighten(picture, column + dx, row, amount * (size + 1 - std::abs(dx)) / (size + 1));
        if (std::abs(dx) == size) lighten(picture, column + dx, row - 1, amount / 2);
    }
}

}  // namespace

Rain::Rain(std::uint64_t seed) : seed_(seed), blurred_(pictureBytes) {}

void Rain::fall(std::int64_t frame, double seconds, std::uint8_t* picture) {
    const double strength = 0.55 + 0.45 * smoothNoise(streamKey(seed_, Purpose::rain, 0), seconds / 40.0);
    blurAndVeil(strength, picture);
    drawStreaks(frame, strength, seconds, picture);
}

// A [1 2 1] blur down and across, then the veil: the picture pulled toward
// its own mean by 12 to 27 %.
void Rain::blurAndVeil(double strength, std::uint8_t* picture) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < pictureBytes; i += 61) sum += picture[i];
    const double mean = static_cast<double>(sum) / static_cast<double>((pictureBytes + 60) / 61);
    const double veil = 0.12 + 0.15 * strength;
    std::array<std::uint8_t, 256> levels;
    for (int value = 0; value < 256; ++value)
        levels[value] = static_cast<std::uint8_t>(value * (1.0 - veil) + (mean + 6.0) * veil + 0.5);
    for (int row = 0; row < pictureHeight; ++row) {
        const std::uint8_t* up = picture + static_cast<std::size_t>(std::max(row - 1, 0)) * pictureRowBytes;
        const std::uint8_t* at = picture + static_cast<std::size_t>(row) * pictureRowBytes;
        const std::uint8_t* down =
            picture + static_cast<std::size_t>(std::min(row + 1, pictureHeight - 1)) * pictureRowBytes;
        std::uint8_t* out = blurred_.data() + static_cast<std::size_t>(row) * pictureRowBytes;
        for (int i = 0; i < pictureRowBytes; ++i)
            out[i] = static_cast<std::uint8_t>((up[i] + 2 * at[i] + down[i] + 2) >> 2);
    }
    for (int row = 0; row < pictureHeight; ++row) {
        const std::uint8_t* in = blurred_.data() + static_cast<std::size_t>(row) * pictureRowBytes;
        std::uint8_t* out = picture + static_cast<std::size_t>(row) * pictureRowBytes;
        for (int i = 0; i < 3; ++i) out[i] = levels[in[i]];
        for (int i = 3; i < pictureRowBytes - 3; ++i)
            out[i] = levels[(in[i - 3] + 2 * in[i] + in[i + 3] + 2) >> 2];
        for (int i = pictureRowBytes - 3; i < pictureRowBytes; ++i) out[i] = levels[in[i]];
    }
}

void Rain::drawStreaks(std::int64_t frame, double strength, double seconds, std::uint8_t* picture) const {
    Random random(streamKey(seed_, Purpose::rain, 1 + static_cast<std::uint64_t>(frame)));
    // The wind slants the streaks, changing over seconds.
    const double slant = 0.18 * smoothNoise(streamKey(seed_, Purpose::rain, 0) + 1, seconds / 8.0);
    const int streaks = static_cast<int>(120 + 380 * strength);
    for (int i = 0; i < streaks; ++i) {
        const double column = random.uniform(-20.0, pictureWidth);
        const double row = random.uniform(-30.0, pictureHeight);
        // Near drops are longer and fainter, out of focus.
        const double nearness = random.uniform();
        const double length = 6.0 + 24.0 * nearness;
        drawStreak(picture, column, row, length, slant,
                   static_cast<int>(random.uniform(30.0, 70.0) * (1.2 - nearness)));
    }
    // Splashes land on the road, which fills the lower part of the picture.
    const int splashes = static_cast<int>(40 + 160 * strength);
    for (int i = 0; i < splashes; ++i) {
        const int row = static_cast<int>(random.uniform(60.0, pictureHeight));
        const int column = static_cast<int>(random.uniform(0.0, pictureWidth));
        const int size = 1 + static_cast<int>(random.uniform(0.0, 3.0) * row / pictureHeight);
        drawSplash(picture, column, row, size, static_cast<int>(random.uniform(25.0, 60.0)));
    }
}

}  // namespace platform::synthetic
