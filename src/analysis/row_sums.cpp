#include "analysis/row_sums.h"

#include <cstdlib>

#include "pipeline/frame_image.h"

namespace analysis {

const std::uint8_t* grayRow(const pipeline::GrayImage& image, std::int32_t row) {
    return image.data() + row * pipeline::frameImage.width;
}

namespace {

constexpr std::int32_t block = 16;

// term(c) summed over columns first .. end - 1. Blocks of sixteen columns,
// then at most one of eight, have fixed counts, which lets the compiler use
// vector instructions; the few columns left are summed one at a time.
template <typename Sum, typename Term>
Sum sumColumns(std::int32_t first, std::int32_t end, Term term) {
    Sum sum = 0;
    std::int32_t c = first;
    for (; c + block <= end; c += block) {
        for (std::int32_t k = 0; k < block; ++k) sum += term(c + k);
    }
    if (c + block / 2 <= end) {
        for (std::int32_t k = 0; k < block / 2; ++k) sum += term(c + k);
        c += block / 2;
    }
    for (; c < end; ++c) sum += term(c);
    return sum;
}

}  // namespace

std::int32_t levelSum(const std::uint8_t* row, std::int32_t left, std::int32_t right) {
    return sumColumns<std::int32_t>(left + 1, right, [row](std::int32_t c) { return row[c]; });
}

std::int32_t neighbourDifferenceSum(const std::uint8_t* row, std::int32_t left, std::int32_t right) {
    return sumColumns<std::int32_t>(left + 1, right,
                                    [row](std::int32_t c) { return std::abs(row[c] - row[c - 1]); });
}

std::int32_t verticalDifferenceSum(const std::uint8_t* row, const std::uint8_t* below, std::int32_t left,
                                   std::int32_t right) {
    return sumColumns<std::int32_t>(left, right - 1,
                                    [row, below](std::int32_t c) { return std::abs(below[c] - row[c]); });
}

std::uint32_t absoluteDifferenceSum(const std::uint8_t* first, const std::uint8_t* second, std::int32_t left,
                                    std::int32_t right) {
    return sumColumns<std::uint32_t>(left, right, [first, second](std::int32_t c) {
        return static_cast<std::uint32_t>(std::abs(first[c] - second[c]));
    });
}

std::int32_t spanLength(std::int32_t first, std::int32_t end) { return end > first ? end - first : 0; }

std::int32_t scaledMean(std::int32_t sum, std::int32_t scale, std::int32_t count) {
    if (count == 0) return 0;
    const auto product = static_cast<std::uint32_t>(sum) * static_cast<std::uint32_t>(scale);
    return static_cast<std::int32_t>(product) / count;
}

}  // namespace analysis
