#pragma once
// Where a frame's content lies against the empty scene when the camera sways
// in the wind: found at textured points of the empty scene (edges, markings,
// kerbs) spread over the whole frame, so the vehicles covering some of them
// do not move the answer. Downhill from the last shift and from the best of
// a coarse search over every whole shift, then a parabola through the costs gives a fraction of a pixel. A
// scene without texture (fog, a night road) gives no points, and no shift.
#include <cstdint>
#include <vector>

#include "analysis/every_vehicle/watched_pixels.h"

namespace analysis::everyvehicle {

class SceneAlignment {
public:
    // The largest shift looked for, in pixels of a 320 x 240 frame.
    static constexpr std::int32_t largestShift = 6;

    // Chooses the points to align by from `reference` (whole frame).
    void chooseFrom(const GrayFrame& reference);
    void forget();
    // `gain`: frame / reference, as the light measure has it; `noise` its
    // standard deviation in gray levels.
    Displacement measure(const GrayFrame& frame, float gain, float noise);
    // Takes the levels of a frame where the reference is seen, so the points
    // follow slow light as the empty scene does.
    void follow(const GrayFrame& frame, const Displacement& shift, float gain, float fraction);
    bool textured() const { return !points_.empty(); }

private:
    struct Point {
        std::int32_t row, column;
        float level;
    };
    struct Minimum {
        std::int32_t rows, columns;
        float cost;
    };
    // `costAt(rows, columns)`: the cost of a whole shift.
    template <typename CostAt>
    static Minimum descend(const Minimum& start, const CostAt& costAt);
    Minimum searchAll(const GrayFrame& frame, float gain, float cap) const;
    float cost(const GrayFrame& frame, std::int32_t rows, std::int32_t columns, float gain, float cap,
               std::size_t stride) const;

    std::vector<Point> points_;
    Displacement last_;
};

// `frame` resampled so that it lines up with the empty scene.
void alignFrame(const GrayFrame& frame, const Displacement& shift, std::vector<std::uint8_t>& aligned);

}  // namespace analysis::everyvehicle
