#pragma once
// Where a picture of a filter graph's output lies on the source's frame, for
// graphs that only crop, scale, transpose or flip: how the aiming picture puts
// the detection window on the camera's own frame.
#include <optional>
#include <string>
#include <vector>

namespace app::aim {

// A rectangle in pixels, edges as fractions: left/top in, right/bottom out.
struct Box {
    double left;
    double top;
    double right;
    double bottom;
};

struct FilterStep {
    enum class Kind { crop, scale, transpose, hflip, vflip } kind;
    int inWidth = 0;
    int inHeight = 0;
    int outWidth = 0;
    int outHeight = 0;
    // crop: the place FFmpeg applies and the place asked for (they differ
    // when the asked place would leave the frame or is odd on 4:2:0 video).
    int x = 0;
    int y = 0;
    int askedX = 0;
    int askedY = 0;
    int direction = 0;  // transpose: 0 cclock_flip, 1 clock, 2 cclock, 3 clock_flip
};

struct FilterGeometry {
    int sourceWidth = 0;
    int sourceHeight = 0;
    std::vector<FilterStep> steps;
    int outWidth() const { return steps.empty() ? sourceWidth : steps.back().outWidth; }
    int outHeight() const { return steps.empty() ? sourceHeight : steps.back().outHeight; }
};

// The steps of `graph` on a source of width x height; nothing, with the
// reason, for a graph with other filters, expressions, or several chains.
// `chromaStep` is 2 for 4:2:0 video (a crop's place and size then even), 1 for RGB.
std::optional<FilterGeometry> geometryOf(const std::string& graph, int width, int height, int chromaStep,
                                         std::string& reason);

// A box of the graph's output, on the source's frame.
Box onSource(const FilterGeometry& geometry, Box box);

}  // namespace app::aim
