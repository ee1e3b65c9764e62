#include "platform/sources/synthetic/synthetic_shading.h"

#include <algorithm>
#include <array>
#include <optional>

#include "platform/sources/synthetic/synthetic_clouds.h"
#include "platform/sources/synthetic/synthetic_exposure.h"
#include "platform/sources/synthetic/synthetic_layout.h"

namespace platform::synthetic {
namespace {

// Scale factors in 1/scaleUnit, one per column.
constexpr std::uint32_t scaleUnit = 1u << 16;
using ColumnScales = std::array<std::uint32_t, pictureWidth>;

void scaleColumns(const ColumnScales& scales, std::uint8_t* picture) {
    for (int row = 0; row < pictureHeight; ++row) {
        std::uint8_t* pixel = picture + static_cast<std::size_t>(row) * pictureRowBytes;
        for (const std::uint32_t scale : scales) {
            for (int channel = 0; channel < 3; ++channel, ++pixel)
                *pixel = static_cast<std::uint8_t>(
                    std::min<std::uint32_t>(255, (*pixel * scale + scaleUnit / 2) >> 16));
        }
    }
}

}  // namespace

void shadeAndExpose(const SceneOptions& options, double seconds, std::uint8_t* picture) {
    const double gain = options.exposure ? cameraGain(options.seed, seconds) : 1.0;
    const std::optional<CloudShadow> shadow =
        options.clouds ? cloudShadowAt(options.seed, seconds) : std::nullopt;
    if (gain == 1.0 && !shadow) return;
    ColumnScales scales;
    for (int column = 0; column < pictureWidth; ++column) {
        const double shade = shadow ? cloudShade(*shadow, seconds, column) : 1.0;
        scales[column] = static_cast<std::uint32_t>(gain * shade * scaleUnit + 0.5);
    }
    scaleColumns(scales, picture);
}

}  // namespace platform::synthetic
