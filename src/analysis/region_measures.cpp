#include "analysis/region_measures.h"

#include "analysis/row_sums.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"

namespace analysis {

std::int32_t lastBrightness = 0;
std::int32_t lastTexture = 0;
std::int32_t backgroundMax = 0;
std::int32_t backgroundMin = 0;
std::int32_t backgroundRange = 0;
std::int32_t backgroundTexture = 0;

namespace {

// The vertical term stops at the buffer's row capacity, not at the frame's
// height: rows of a smaller frame are read below its last row.
constexpr std::int32_t grayRowCapacity = 576;

constexpr std::int32_t verdictLevel = 127;
constexpr std::int32_t lowContrastRange = 50;

std::int32_t measuredPixels(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    return spanLength(top, bottom) * spanLength(left + 1, right);
}

void printVerdict(const char* banner, std::int32_t mean) {
    platform::console::print("%s", banner);
    platform::console::print("\nmax value %d min value %d range %d brightsum [%d] smooth value %d\n",
                             backgroundMax, backgroundMin, backgroundRange, mean, backgroundTexture);
}

}  // namespace

std::uint32_t measureDifference(std::int32_t top, std::int32_t bottom, std::int32_t left,
                                std::int32_t right) {
    std::uint32_t sum = 0;
    for (std::int32_t r = top; r < bottom; ++r) {
        sum += absoluteDifferenceSum(grayRow(pipeline::referenceImage, r), grayRow(pipeline::currentImage, r),
                                     left, right);
    }
    const auto count = static_cast<std::uint32_t>(spanLength(top, bottom) * spanLength(left, right));
    if (count == 0) return 0;
    return sum * 1000u / count;
}

std::int32_t measureBrightness(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    std::int32_t sum = 0;
    for (std::int32_t r = top; r < bottom; ++r)
        sum += levelSum(grayRow(pipeline::currentImage, r), left, right);
    lastBrightness = scaledMean(sum, 100, measuredPixels(top, bottom, left, right));
    return lastBrightness;
}

std::int32_t measureTexture(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    std::int32_t sum = 0;
    for (std::int32_t r = top; r < bottom; ++r) {
        const std::uint8_t* row = grayRow(pipeline::currentImage, r);
        sum += neighbourDifferenceSum(row, left, right);
        if (r + 1 < grayRowCapacity) {
            sum += verticalDifferenceSum(row, grayRow(pipeline::currentImage, r + 1), left, right);
        }
    }
    lastTexture = scaledMean(sum, 50, measuredPixels(top, bottom, left, right));
    return lastTexture;
}

void analyseBackground(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    backgroundMin = 255;
    backgroundMax = 0;
    std::int32_t sum = 0;
    for (std::int32_t r = top; r < bottom; ++r) {
        const std::uint8_t* row = grayRow(pipeline::currentImage, r);
        for (std::int32_t c = left + 1; c < right; ++c) {
            const std::int32_t value = row[c];
            sum += value;
            if (value > backgroundMax) backgroundMax = value;
            if (value < backgroundMin) backgroundMin = value;
        }
    }
    const std::int32_t mean = scaledMean(sum, 100, measuredPixels(top, bottom, left, right));
    backgroundRange = backgroundMax - backgroundMin;
    backgroundTexture = measureTexture(top, bottom, left, right);

    // Each verdict is only reported; the thresholds use the range whatever it is.
    if (backgroundMin > verdictLevel) printVerdict("\n***** BRIGHT BACKGROUND ********\n", mean);
    if (backgroundMax < verdictLevel) printVerdict("\n***** DARK   BACKGROUND ********\n", mean);
    if (backgroundRange < lowContrastRange) printVerdict("\n***** NO Conrast   BACKGROUND ********\n", mean);
}

}  // namespace analysis
