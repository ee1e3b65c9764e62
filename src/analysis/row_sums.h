#pragma once
// The per-row sums from which every measure of a rectangle is built. Column
// ranges follow the measures: `left` is only a neighbour unless said otherwise.
#include <cstdint>

#include "pipeline/frame_pipeline.h"

namespace analysis {

// First byte of `row` of a gray image; rows are frameImage.width bytes apart.
const std::uint8_t* grayRow(const pipeline::GrayImage& image, std::int32_t row);

// Gray levels of columns left + 1 .. right - 1.
std::int32_t levelSum(const std::uint8_t* row, std::int32_t left, std::int32_t right);

// abs(row[c] - row[c - 1]) over columns c = left + 1 .. right - 1.
std::int32_t neighbourDifferenceSum(const std::uint8_t* row, std::int32_t left, std::int32_t right);

// abs(below[c] - row[c]) over columns c = left .. right - 2: each left
// neighbour against the pixel under it.
std::int32_t verticalDifferenceSum(const std::uint8_t* row, const std::uint8_t* below, std::int32_t left,
                                   std::int32_t right);

// abs(first[c] - second[c]) over columns c = left .. right - 1, left included.
std::uint32_t absoluteDifferenceSum(const std::uint8_t* first, const std::uint8_t* second, std::int32_t left,
                                    std::int32_t right);

// How many of first .. end - 1 there are; none when end <= first.
std::int32_t spanLength(std::int32_t first, std::int32_t end);

// sum x scale / count: the product first, in 32 bits (wrapping as 32-bit
// integers do), then one truncating division. An empty rectangle measures 0
// rather than dividing by zero.
std::int32_t scaledMean(std::int32_t sum, std::int32_t scale, std::int32_t count);

}  // namespace analysis
