#pragma once
// The road grid drawn over the live frame once the road is calibrated: a
// line every metre across and every 5 m along, faint, so a user sees at once
// whether the road points were right.
#include <vector>

#include "analysis/survey/road_plane.h"
#include "platform/winsys/win32_types.h"

namespace app::survey {

struct GridPixel {
    short x, y;  // in the 320 x 240 picture as the window shows it
};

// The picture's pixels a grid line passes through; none where the lines
// would lie closer than a few pixels (toward the horizon).
std::vector<GridPixel> roadGridPixels(const analysis::survey::RoadPlane& plane);

// Over the frame drawn at (left, top), when the road is calibrated.
void drawRoadGrid(platform::HDC dc, int left, int top);

}  // namespace app::survey
