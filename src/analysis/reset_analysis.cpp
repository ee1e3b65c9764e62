#include "analysis/reset_analysis.h"

#include <algorithm>
#include <iterator>

#include "analysis/dark_object.h"
#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "analysis/thresholds.h"

namespace analysis {
namespace {

void resetRegionMeasures() {
    lastBrightness = 0;
    lastTexture = 0;
    backgroundMax = 0;
    backgroundMin = 0;
    backgroundRange = 0;
    backgroundTexture = 0;
}

void resetSceneState() {
    sceneState = state::reset;
    windowDiff = 0;
    windowTexture = 0;
    stillTexture = 0;
    previousWindowDiff = 0;
    slightMotionThreshold = baseSlightThreshold(0);
    slightMinDiff = 0;
    stillDarkLevel = 0;
    learnCount = 0;
    slightCount = 0;
    stableCount = 0;
    movingCount = 0;
    std::fill(std::begin(statusText), std::end(statusText), '\0');
    std::fill(std::begin(statusLine), std::end(statusLine), '\0');
}

void resetDarkObject() {
    cellBrightness = 0;
    cellBrightnessMin = 9999999;
    cellBrightnessMax = 0;
    cellTextureMin = 9999999;
    cellTextureMax = 0;
}

}  // namespace

void resetAnalysis() {
    resetRegionMeasures();
    resetSceneState();
    resetDarkObject();
}

}  // namespace analysis
