#pragma once
// A picture scaled to fit a box, keeping its shape.
#include "platform/winsys/canvas.h"

namespace app {

// Each thumbnail pixel is the mean of the picture pixels it covers.
platform::Canvas thumbnailOf(const platform::Canvas& picture, int boxWidth, int boxHeight);

}  // namespace app
