#include "app/survey/road_grid.h"

#include <cmath>
#include <optional>

#include "app/survey/survey_settings.h"
#include "platform/winsys/paint.h"

namespace app::survey {
namespace {

using analysis::survey::RoadPoint;

constexpr double acrossSpacing = 1.0;  // metres between the lines along the road
constexpr double alongSpacing = 5.0;   // metres between the lines across it
// A pixel spanning more than this share of a spacing shows no line but a blur.
constexpr double densest = 0.5;
constexpr int width = 320;
constexpr int height = 240;

struct Span {
    double low = INFINITY, high = -INFINITY;
    void add(double value) {
        low = std::min(low, value);
        high = std::max(high, value);
    }
    bool crossesLine(double spacing) const {
        return high - low < densest * spacing && std::floor(low / spacing) != std::floor(high / spacing);
    }
};

}  // namespace

std::vector<GridPixel> roadGridPixels(const analysis::survey::RoadPlane& plane) {
    std::vector<std::optional<RoadPoint>> corners((width + 1) * (height + 1));
    for (int y = 0; y <= height; ++y) {
        for (int x = 0; x <= width; ++x) corners[y * (width + 1) + x] = plane.toRoad({double(x), double(y)});
    }
    std::vector<GridPixel> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Span u, v;
            bool seen = true;
            for (const int corner : {0, 1, width + 1, width + 2}) {
                const auto& road = corners[y * (width + 1) + x + corner];
                if (!road) {
                    seen = false;
                    break;
                }
                u.add(road->u);
                v.add(road->v);
            }
            if (seen && (u.crossesLine(acrossSpacing) || v.crossesLine(alongSpacing)))
                pixels.push_back({static_cast<short>(x), static_cast<short>(y)});
        }
    }
    return pixels;
}

void drawRoadGrid(platform::HDC dc, int left, int top) {
    // Every other pixel, so the frame shows through the lines.
    for (const GridPixel& pixel : settings.gridPixels) {
        if ((pixel.x + pixel.y) % 2 == 0)
            platform::SetPixel(dc, left + pixel.x, top + pixel.y, platform::RGB(255, 255, 255));
    }
}

}  // namespace app::survey
