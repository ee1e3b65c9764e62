#include "analysis/every_vehicle/content_flow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace analysis::everyvehicle {
namespace {

// The furthest a vehicle moves between two frames, in pixels.
constexpr std::int32_t largestShift = 16;
// A shift counts only when it matches clearly better than none: a box of
// plain road or a plain body slides anywhere.
constexpr float clearlyBetter = 0.8f;

float meanDifference(const std::vector<float>& now, const std::vector<float>& before, std::int32_t shift) {
    const auto length = static_cast<std::int32_t>(now.size());
    float sum = 0;
    std::int32_t count = 0;
    for (std::int32_t i = std::max(0, shift); i < std::min(length, length + shift); ++i) {
        sum += std::abs(now[i] - before[i - shift]);
        ++count;
    }
    return count * 2 >= length ? sum / static_cast<float>(count) : std::numeric_limits<float>::max();
}

std::int32_t bestShift(const std::vector<float>& now, const std::vector<float>& before) {
    const float still = meanDifference(now, before, 0);
    float best = still;
    std::int32_t shift = 0;
    for (std::int32_t candidate = -largestShift; candidate <= largestShift; ++candidate) {
        const float difference = meanDifference(now, before, candidate);
        if (difference < best) {
            best = difference;
            shift = candidate;
        }
    }
    return best < clearlyBetter * still ? shift : 0;
}

}  // namespace

Flow ContentFlow::measure(const std::vector<std::uint8_t>& current, const std::vector<std::uint8_t>& previous,
                          std::int32_t windowColumns, const PixelBox& box) {
    Flow flow;
    const std::int32_t rows = box.bottom - box.top;
    const std::int32_t columns = box.right - box.left;
    if (rows <= 0 || columns <= 0) return flow;
    now_.assign(static_cast<std::size_t>(rows), 0);
    before_.assign(static_cast<std::size_t>(rows), 0);
    std::vector<float>& columnNow = columnsNow_;
    std::vector<float>& columnBefore = columnsBefore_;
    columnNow.assign(static_cast<std::size_t>(columns), 0);
    columnBefore.assign(static_cast<std::size_t>(columns), 0);
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::size_t start = static_cast<std::size_t>(box.top + r) * windowColumns + box.left;
        for (std::int32_t c = 0; c < columns; ++c) {
            now_[r] += current[start + c];
            before_[r] += previous[start + c];
            columnNow[c] += current[start + c];
            columnBefore[c] += previous[start + c];
        }
    }
    flow.rows = bestShift(now_, before_);
    flow.columns = bestShift(columnNow, columnBefore);
    return flow;
}

}  // namespace analysis::everyvehicle
