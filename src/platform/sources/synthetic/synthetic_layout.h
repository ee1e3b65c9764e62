#pragma once
// Where things lie in the synthetic road scene. The camera sits on a pole
// above the road and looks down it: the road recedes toward a horizon above
// the top of the picture, so each picture row shows the road at one distance
// and everything on that row is drawn at that distance's scale.
#include <cstddef>

namespace platform::synthetic {

constexpr int pictureWidth = 640;
constexpr int pictureHeight = 480;
constexpr int pictureRowBytes = pictureWidth * 3;
constexpr std::size_t pictureBytes = static_cast<std::size_t>(pictureRowBytes) * pictureHeight;

// Row r shows the road depthScale / (r + horizonRows) metres from the camera:
// 24 m on the top row, 8 m on the bottom one.
constexpr double horizonRows = 240.0;
constexpr double depthScale = 5760.0;
// Pixels per metre across the road at 1 m; the column where the road's axis
// meets the horizon.
constexpr double lateralScale = 1000.0;
constexpr double vanishingColumn = 300.0;
constexpr double cameraHeight = 6.0;

constexpr double roadDepth(double row) { return depthScale / (row + horizonRows); }
constexpr double rowAtDepth(double depth) { return depthScale / depth - horizonRows; }
constexpr double pixelsPerMetre(double row) { return lateralScale * (row + horizonRows) / depthScale; }
constexpr double columnAt(double lateral, double row) {
    return vanishingColumn + lateral * pixelsPerMetre(row);
}

// A point `height` metres above the road, `depth` metres away, is seen where
// the road lies at the returned depth.
constexpr double apparentDepth(double depth, double height) {
    return depth * cameraHeight / (cameraHeight - height);
}

// Picture rows of the program's detection window; vehicles must cross them.
constexpr int detectionWindowTopRow = 100;
constexpr int detectionWindowBottomRow = 231;

struct Span {
    double from;
    double to;
    constexpr bool contains(double value) const { return value >= from && value < to; }
};

// Across the road: metres from its axis, positive toward the picture's right.
constexpr Span asphalt{-3.9, 4.1};
constexpr Span leftEdgeLine{-3.62, -3.47};
constexpr Span rightEdgeLine{3.65, 3.80};
constexpr Span centreLine{0.03, 0.17};
constexpr double rightLaneCentre = 1.9;
constexpr double leftLaneCentre = -1.7;

// Along the road: metres from the camera.
constexpr Span stopLine{8.80, 9.00};
constexpr double centreDashPeriod = 9.0;
constexpr double centreDashLength = 3.0;

}  // namespace platform::synthetic
