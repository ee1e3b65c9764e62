#include "analysis/every_vehicle/scene_alignment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace analysis::everyvehicle {
namespace {

// Points are chosen one per orientation in each block of the frame, where
// the reference changes across two pixels by at least this much (summed
// over three pixels along the edge): an edge, not the noise and compression
// of 8-bit video.
constexpr std::int32_t blockSize = 16;
constexpr std::int32_t edgeStep = 3 * 12;
// Fewer points than this are no texture to align by.
constexpr std::size_t fewestPoints = 24;
// A point differing by more than this many noise deviations (and gray
// levels) is covered, by a vehicle or a shadow: it counts as that much and
// no more. Thin lines half a pixel off differ by half their contrast: they
// still count.
constexpr float coveredDeviations = 6.0f;
constexpr float smallestCap = 64.0f;
// The best shift must cost clearly less than its neighbours, or the frame
// is taken as not shifted: a share of what a point of pure noise costs.
constexpr float distinctShare = 0.15f;
// Less than this, in pixels, is no sway.
constexpr float stillShift = 0.125f;
// The coarse search looks at every eighth point.
constexpr std::size_t coarseStride = 8;

struct Edge {
    std::int32_t strength = 0;
    std::int32_t row = 0, column = 0;
};

std::int32_t at(const GrayFrame& frame, std::int32_t row, std::int32_t column) {
    return frame.pixels[static_cast<std::ptrdiff_t>(row) * frame.width + column];
}

// Of three pixels across: sensor noise averages out, an edge does not.
std::int32_t rowOfThree(const GrayFrame& frame, std::int32_t row, std::int32_t column) {
    return at(frame, row, column - 1) + at(frame, row, column) + at(frame, row, column + 1);
}
std::int32_t columnOfThree(const GrayFrame& frame, std::int32_t row, std::int32_t column) {
    return at(frame, row - 1, column) + at(frame, row, column) + at(frame, row + 1, column);
}

// The vertex of the parabola through three costs, as an offset in -0.5 .. 0.5.
float vertex(float before, float here, float after) {
    const float rise = std::max(before, after) - here;
    if (rise <= 0) return 0;
    return std::clamp(0.5f * (before - after) / rise, -0.5f, 0.5f);
}

}  // namespace

void SceneAlignment::forget() {
    points_.clear();
    last_ = {};
}

void SceneAlignment::chooseFrom(const GrayFrame& reference) {
    forget();
    const std::int32_t margin = largestShift + 2;
    for (std::int32_t top = margin; top + blockSize <= reference.height - margin; top += blockSize) {
        for (std::int32_t left = margin; left + blockSize <= reference.width - margin; left += blockSize) {
            Edge across, along;
            for (std::int32_t r = top; r < top + blockSize; ++r) {
                for (std::int32_t c = left; c < left + blockSize; ++c) {
                    const std::int32_t horizontal =
                        std::abs(columnOfThree(reference, r, c + 1) - columnOfThree(reference, r, c - 1));
                    const std::int32_t vertical =
                        std::abs(rowOfThree(reference, r + 1, c) - rowOfThree(reference, r - 1, c));
                    if (horizontal > across.strength) across = {horizontal, r, c};
                    if (vertical > along.strength) along = {vertical, r, c};
                }
            }
            for (const Edge& edge : {across, along}) {
                if (edge.strength >= edgeStep)
                    points_.push_back(
                        {edge.row, edge.column, static_cast<float>(at(reference, edge.row, edge.column))});
            }
        }
    }
    if (points_.size() < fewestPoints) points_.clear();
}

float SceneAlignment::cost(const GrayFrame& frame, std::int32_t rows, std::int32_t columns, float gain,
                           float cap, std::size_t stride) const {
    float sum = 0;
    for (std::size_t i = 0; i < points_.size(); i += stride) {
        const Point& point = points_[i];
        const auto level = static_cast<float>(at(frame, point.row + rows, point.column + columns));
        sum += std::min(std::abs(level - gain * point.level), cap);
    }
    return sum;
}

template <typename CostAt>
SceneAlignment::Minimum SceneAlignment::descend(const Minimum& start, const CostAt& costAt) {
    Minimum found = start;
    for (bool moved = true; moved;) {
        moved = false;
        const Minimum from = found;
        for (std::int32_t dr = -1; dr <= 1; ++dr) {
            for (std::int32_t dc = -1; dc <= 1; ++dc) {
                const float here = costAt(from.rows + dr, from.columns + dc);
                if (here < found.cost) {
                    found = {from.rows + dr, from.columns + dc, here};
                    moved = true;
                }
            }
        }
    }
    return found;
}

// Every shift tried on a few of the points: no local minimum of a
// repeating texture.
SceneAlignment::Minimum SceneAlignment::searchAll(const GrayFrame& frame, float gain, float cap) const {
    Minimum best{0, 0, std::numeric_limits<float>::max()};
    for (std::int32_t r = -largestShift; r <= largestShift; ++r) {
        for (std::int32_t c = -largestShift; c <= largestShift; ++c) {
            const float here = cost(frame, r, c, gain, cap, coarseStride);
            if (here < best.cost) best = {r, c, here};
        }
    }
    return best;
}

Displacement SceneAlignment::measure(const GrayFrame& frame, float gain, float noise) {
    if (points_.empty() || frame.width < 2 * largestShift + 3 || frame.height < 2 * largestShift + 3)
        return {};
    const float cap = std::max(coveredDeviations * noise, smallestCap);
    const auto costAt = [&](std::int32_t rows, std::int32_t columns) {
        if (std::abs(rows) > largestShift || std::abs(columns) > largestShift)
            return std::numeric_limits<float>::max();
        return cost(frame, rows, columns, gain, cap, 1);
    };
    const float distinct = distinctShare * std::max(noise, 1.0f) * static_cast<float>(points_.size());
    const auto neighbours = [&](const Minimum& at) {
        return std::array<float, 4>{costAt(at.rows - 1, at.columns), costAt(at.rows + 1, at.columns),
                                    costAt(at.rows, at.columns - 1), costAt(at.rows, at.columns + 1)};
    };
    const auto isDistinct = [&](const Minimum& at, const std::array<float, 4>& around) {
        return *std::min_element(around.begin(), around.end()) - at.cost >= distinct;
    };
    // Downhill from the last shift (a sway moves on from where it was), and
    // from the best of a coarse search over every shift (a gust may jump).
    const auto lastRows = static_cast<std::int32_t>(std::lround(last_.rows));
    const auto lastColumns = static_cast<std::int32_t>(std::lround(last_.columns));
    Minimum found = descend({lastRows, lastColumns, costAt(lastRows, lastColumns)}, costAt);
    const Minimum coarse = searchAll(frame, gain, cap);
    if (coarse.rows != found.rows || coarse.columns != found.columns) {
        const Minimum searched =
            descend({coarse.rows, coarse.columns, costAt(coarse.rows, coarse.columns)}, costAt);
        if (searched.cost < found.cost) found = searched;
    }
    const std::array<float, 4> around = neighbours(found);
    if (!isDistinct(found, around)) {
        last_ = {};
        return last_;
    }
    const auto [up, down, left, right] = around;
    last_.rows = static_cast<float>(found.rows) +
                 (std::abs(found.rows) < largestShift ? vertex(up, found.cost, down) : 0.0f);
    last_.columns = static_cast<float>(found.columns) +
                    (std::abs(found.columns) < largestShift ? vertex(left, found.cost, right) : 0.0f);
    // A camera that stands still is not resampled for the noise of the estimate.
    if (std::abs(last_.rows) < stillShift && std::abs(last_.columns) < stillShift) last_ = {};
    return last_;
}

void SceneAlignment::follow(const GrayFrame& frame, const Displacement& shift, float gain, float fraction) {
    const auto rows = static_cast<std::int32_t>(std::lround(shift.rows));
    const auto columns = static_cast<std::int32_t>(std::lround(shift.columns));
    for (Point& point : points_) {
        const auto level = static_cast<float>(at(frame, point.row + rows, point.column + columns));
        // Only where the point still shows what it showed: a vehicle is not learnt.
        if (std::abs(level - gain * point.level) < smallestCap)
            point.level += fraction * (level - point.level);
    }
}

void alignFrame(const GrayFrame& frame, const Displacement& shift, std::vector<std::uint8_t>& aligned) {
    aligned.resize(static_cast<std::size_t>(frame.width) * frame.height);
    alignArea(frame, shift, {0, frame.height, 0, frame.width}, aligned.data());
}

}  // namespace analysis::everyvehicle
