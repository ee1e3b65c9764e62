#pragma once
// Values counted in bins of 1/binsPerUnit from 0; the last bin takes all
// above. Quantiles from it are exact to a bin, and cheap enough for every frame.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace analysis::everyvehicle {

class Histogram {
public:
    Histogram(float binsPerUnit, std::size_t bins) : binsPerUnit_(binsPerUnit), counts_(bins, 0) {}

    void clear() {
        std::fill(counts_.begin(), counts_.end(), 0);
        total_ = 0;
    }
    void add(float value) {
        const float bin = std::clamp(value * binsPerUnit_, 0.0f, static_cast<float>(counts_.size() - 1));
        ++counts_[static_cast<std::size_t>(bin)];
        ++total_;
    }
    std::int32_t total() const { return total_; }
    // The middle of the bin that holds the value at `share` of the ordered values.
    float quantile(float share) const {
        const auto wanted = static_cast<std::int32_t>(share * static_cast<float>(total_ - 1));
        std::int32_t seen = 0;
        for (std::size_t bin = 0; bin < counts_.size(); ++bin) {
            seen += counts_[bin];
            if (seen > wanted) return (static_cast<float>(bin) + 0.5f) / binsPerUnit_;
        }
        return static_cast<float>(counts_.size()) / binsPerUnit_;
    }

private:
    float binsPerUnit_;
    std::vector<std::int32_t> counts_;
    std::int32_t total_ = 0;
};

}  // namespace analysis::everyvehicle
