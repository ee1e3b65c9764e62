#include "analysis/survey/robust_line.h"

#include <algorithm>

namespace analysis::survey {
namespace {

// Pairs grow with the square of the samples: beyond this many, every n-th.
constexpr std::size_t mostSamples = 120;

std::vector<Sample> thinned(const std::vector<Sample>& samples) {
    if (samples.size() <= mostSamples) return samples;
    std::vector<Sample> kept;
    const double step = static_cast<double>(samples.size()) / mostSamples;
    for (std::size_t i = 0; i < mostSamples; ++i) kept.push_back(samples[static_cast<std::size_t>(i * step)]);
    return kept;
}

}  // namespace

std::optional<double> median(std::vector<double> values) {
    if (values.empty()) return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) return *middle;
    const double upper = *middle;
    return (upper + *std::max_element(values.begin(), middle)) / 2;
}

std::optional<Line> robustLine(const std::vector<Sample>& all) {
    const std::vector<Sample> samples = thinned(all);
    std::vector<double> slopes;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        for (std::size_t j = i + 1; j < samples.size(); ++j) {
            const double dt = samples[j].t - samples[i].t;
            if (dt != 0) slopes.push_back((samples[j].value - samples[i].value) / dt);
        }
    }
    const std::optional<double> slope = median(std::move(slopes));
    if (!slope) return std::nullopt;
    std::vector<double> offsets;
    for (const Sample& s : samples) offsets.push_back(s.value - *slope * s.t);
    return Line{*slope, *median(std::move(offsets))};
}

}  // namespace analysis::survey
