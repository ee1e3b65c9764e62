#pragma once
// A straight line through points that jitter and now and then lie far off:
// the Theil-Sen fit (median of the slopes between pairs, then the median
// offset), which shrugs off up to nearly a third of them being wrong.
#include <optional>
#include <vector>

namespace analysis::survey {

struct Sample {
    double t = 0;
    double value = 0;
};

struct Line {
    double slope = 0;
    double offset = 0;  // value at t = 0
    double at(double t) const { return offset + slope * t; }
};

// Empty with fewer than two samples apart in t.
std::optional<Line> robustLine(const std::vector<Sample>& samples);

// The median, empty for none.
std::optional<double> median(std::vector<double> values);

}  // namespace analysis::survey
