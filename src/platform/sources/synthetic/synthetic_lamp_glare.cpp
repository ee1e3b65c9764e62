#include "platform/sources/synthetic/synthetic_lamp_glare.h"

#include <algorithm>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_vehicle_painter.h"

namespace platform::synthetic {
namespace {

struct Glare {
    double row, column;
    double radius;       // of the saturated spot, in pixels
    double bloomRadius;  // where the bloom has fallen to a third
    double bloom;        // the bloom's brightness next to the spot, share of full scale
    float core[3];       // the spot's colour, blue green red, may exceed 255 to saturate
    float halo[3];       // the bloom's colour
};

void paintGlare(const Glare& glare, std::uint8_t* picture) {
    // The bloom falls as (1 + q)^-1.5; beyond `reach` it is under a gray level.
    const double reach = glare.bloomRadius * std::sqrt(std::pow(glare.bloom * 255.0, 2.0 / 3.0));
    const int top = std::max(0, static_cast<int>(glare.row - reach));
    const int bottom = std::min(pictureHeight - 1, static_cast<int>(glare.row + reach));
    const int left = std::max(0, static_cast<int>(glare.column - reach));
    const int right = std::min(pictureWidth - 1, static_cast<int>(glare.column + reach));
    const double inverse = 1.0 / (glare.bloomRadius * glare.bloomRadius);
    for (int row = top; row <= bottom; ++row) {
        std::uint8_t* pixel = picture + static_cast<std::size_t>(row) * pictureRowBytes + left * 3;
        const double dy = row + 0.5 - glare.row;
        for (int column = left; column <= right; ++column, pixel += 3) {
            const double dx = column + 0.5 - glare.column;
            const double squared = dx * dx + dy * dy;
            const double fall = 1.0 / (1.0 + squared * inverse);
            const auto bloom = static_cast<float>(glare.bloom * fall * std::sqrt(fall));
            const auto spot =
                static_cast<float>(std::clamp(glare.radius + 0.5 - std::sqrt(squared), 0.0, 1.0));
            for (int channel = 0; channel < 3; ++channel) {
                const float added = spot * glare.core[channel] + bloom * glare.halo[channel];
                pixel[channel] = static_cast<std::uint8_t>(std::min(255.0f, pixel[channel] + added));
            }
        }
    }
}

void paintPair(const LampRow& lamps, double side, Glare glare, std::uint8_t* picture) {
    glare.row = lamps.row;
    for (const double sign : {-1.0, 1.0}) {
        glare.column = lamps.centre + sign * side * lamps.half;
        paintGlare(glare, picture);
    }
}

}  // namespace

void paintLampGlare(const Vehicle& vehicle, double seconds, const LampLight& lamps, double share,
                    std::uint8_t* picture) {
    const RowSpan rows = bodyRows(vehicle, seconds);
    if (rows.empty() || share <= 0.0) return;
    const LampRow head = headLampRow(vehicle, seconds);
    const double metre = pixelsPerMetre(std::max(head.row, 0.0));
    const auto s = static_cast<float>(share);
    const Glare front{0,
                      0,
                      0.09 * metre * (0.6 + 0.4 * share),
                      0.2 * metre,
                      0.55 * share,
                      {600 * s * static_cast<float>(lamps.blue), 600 * s * static_cast<float>(lamps.green),
                       600 * s * static_cast<float>(lamps.red)},
                      {170 * static_cast<float>(lamps.blue), 225 * static_cast<float>(lamps.green), 255}};
    if (head.row <= rows.last + 1) paintPair(head, headLampSide, front, picture);
    const LampRow tail = tailLampRow(vehicle, seconds);
    const double tailMetre = pixelsPerMetre(std::max(tail.row, 0.0));
    const Glare rear{
        0, 0, 0.05 * tailMetre, 0.12 * tailMetre, 0.35 * share, {60 * s, 50 * s, 500 * s}, {30, 25, 255}};
    if (tail.row >= rows.first - 1) paintPair(tail, tailLampSide, rear, picture);
}

}  // namespace platform::synthetic
