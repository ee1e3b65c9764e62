#include "analysis/dark_object.h"

#include <cstdlib>

#include "analysis/region_measures.h"
#include "analysis/row_sums.h"
#include "analysis/scene_state.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"

namespace analysis {

std::int32_t cellBrightness = 0;
std::int32_t cellBrightnessMin = 9999999;
std::int32_t cellBrightnessMax = 0;
std::int32_t cellTextureMin = 9999999;
std::int32_t cellTextureMax = 0;

namespace {

constexpr std::int32_t darkerPercent = 55;
constexpr std::int32_t changedTexture = 999;
constexpr std::int32_t brightCell = 10000;

struct CellFigures {
    std::int32_t brightness;
    // Mean horizontal neighbour difference x 100.
    std::int32_t texture;
};

CellFigures measureCell(const pipeline::GrayImage& image, std::int32_t top, std::int32_t bottom,
                        std::int32_t left, std::int32_t right) {
    std::int32_t sum = 0;
    std::int32_t gradient = 0;
    for (std::int32_t r = top; r < bottom; ++r) {
        const std::uint8_t* row = grayRow(image, r);
        sum += levelSum(row, left, right);
        gradient += neighbourDifferenceSum(row, left, right);
    }
    const std::int32_t count = spanLength(top, bottom) * spanLength(left + 1, right);
    return {scaledMean(sum, 100, count), scaledMean(gradient, 100, count)};
}

void noteExtremes(std::int32_t cellTexture) {
    if (cellBrightness < cellBrightnessMin) cellBrightnessMin = cellBrightness;
    if (cellBrightness > cellBrightnessMax) cellBrightnessMax = cellBrightness;
    if (cellTexture < cellTextureMin) cellTextureMin = cellTexture;
    if (cellTexture > cellTextureMax) cellTextureMax = cellTexture;
}

// A black reference cell counts as darker without a division.
bool darkerThanReference(std::int32_t referenceBrightness) {
    return referenceBrightness == 0 || cellBrightness * 100 / referenceBrightness < darkerPercent;
}

bool windowTextureChanged() { return std::abs(lastTexture - stillTexture) > changedTexture; }

bool asDarkAsBackground() { return cellBrightness < brightCell && cellBrightness / 100 <= backgroundMin; }

}  // namespace

bool testDarkObject(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    const CellFigures cell = measureCell(pipeline::currentImage, top, bottom, left, right);
    cellBrightness = cell.brightness;
    noteExtremes(cell.texture);
    const CellFigures reference = measureCell(pipeline::referenceImage, top, bottom, left, right);

    bool dark = false;
    if (darkerThanReference(reference.brightness)) {
        platform::console::print("\n sum < 55  d  <<<<<<<<<<<<<<<<<<\n");
        dark = true;
    }
    if (windowTextureChanged()) {
        platform::console::print("\n smooth > 999  d  <<<<<<<<<<<<<<<<<<\n");
        dark = true;
    }
    if (asDarkAsBackground()) {
        platform::console::print("\n sum less then min + range d  <<<<<<<<<<<<<<<<<<\n");
        dark = true;
    }
    if (!dark) return false;

    platform::console::print("black detected , sum %d still sum %d d %d stil d %d minvalue %d range %d",
                             cellBrightness, reference.brightness, cell.texture, reference.texture,
                             backgroundMin, backgroundRange);
    platform::console::print(
        "\n%2d: bright %4d dark %4d maxcont %2d min %2d \nbb sum bright %d d (contrast)  %2d  <%d> std_dark "
        "%d "
        "std_cont %d\n",
        pipeline::fps, cellBrightnessMax, cellBrightnessMin, cellTextureMax, cellTextureMin, cellBrightness,
        cell.texture, sceneState, stillDarkLevel, stillTexture);
    return true;
}

}  // namespace analysis
