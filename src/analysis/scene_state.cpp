#include "analysis/scene_state.h"

#include <cstdio>
#include <cstdlib>

#include "analysis/region_measures.h"
#include "analysis/thresholds.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"

namespace analysis {

std::int32_t sceneState = state::reset;
std::int32_t windowDiff = 0;
std::int32_t windowTexture = 0;
std::int32_t stillTexture = 0;
std::int32_t previousWindowDiff = 0;
std::int32_t slightMotionThreshold = baseSlightThreshold(0);
std::int32_t slightMinDiff = 0;
std::int32_t stillDarkLevel = 0;
std::int32_t learnCount = 0;
std::int32_t slightCount = 0;
std::int32_t stableCount = 0;
std::int32_t movingCount = 0;
char statusText[statusCapacity] = "";
char statusLine[statusCapacity] = "";

namespace {

constexpr std::int32_t unsetDiff = 9999999;
constexpr std::int32_t learntDiff = 999999;
constexpr std::int32_t unsetDarkLevel = 999999;

// Texture changes that count, per state.
constexpr std::int32_t fastMotionTextureChange = 50;
constexpr std::int32_t motionTextureChange = 250;
constexpr std::int32_t slightMotionTextureChange = 35;
constexpr std::int32_t movingTextureChange = 10;
constexpr std::int32_t slightMotionRise = 50;

constexpr std::int32_t slightEventsBeforeAdapting = 4;
constexpr std::int32_t stableStepsBeforeRelearning = 1000;

// The background strip each Learning step analyses, the larger one analysed
// when Moving times out, and the dark-reference strip of quiet Learning steps.
constexpr Rectangle learningStrip{10, 110, 10, 150};
constexpr Rectangle resetStrip{10, 130, 10, 180};
constexpr Rectangle darkReferenceStrip{125, 140, 10, 90};

std::int32_t textureOf(const Rectangle& w) { return measureTexture(w.top, w.bottom, w.left, w.right); }

std::int32_t differenceOf(const Rectangle& w) {
    return static_cast<std::int32_t>(measureDifference(w.top, w.bottom, w.left, w.right));
}

void analyseStrip(const Rectangle& w) { analyseBackground(w.top, w.bottom, w.left, w.right); }

std::int32_t textureChange(std::int32_t texture) { return std::abs(texture - stillTexture); }

void setStatusText(const char* text) { std::snprintf(statusText, sizeof statusText, "%s", text); }

void resetStep() {
    learnCount = 0;
    slightCount = 0;
    stableCount = 0;
    movingCount = 0;
    slightMinDiff = unsetDiff;
    // Still the range of the last analysis: this step's own comes later.
    slightMotionThreshold = baseSlightThreshold(backgroundRange);
}

void noteSlightMotion() {
    learnCount = 0;
    slightCount += 1;
    pipeline::refreshReference();
    if (windowDiff < slightMinDiff) slightMinDiff = windowDiff;
    stillDarkLevel = unsetDarkLevel;
    platform::console::print("slight motion detected\n");
}

void noteQuietFrame(const Rectangle& w) {
    const std::int32_t darkLevel = measureBrightness(darkReferenceStrip.top, darkReferenceStrip.bottom,
                                                     darkReferenceStrip.left, darkReferenceStrip.right);
    if (darkLevel < stillDarkLevel) stillDarkLevel = darkLevel;
    stillTexture = textureOf(w);
}

bool fastMotion(const Rectangle& w) {
    const std::int32_t threshold = learningMotionThreshold(backgroundRange);
    if (windowDiff <= threshold) return false;
    if (textureChange(textureOf(w)) <= fastMotionTextureChange) return false;
    platform::console::print("\nmotion detected while waiting for stable idiff %d hight th%d\n", windowDiff,
                             threshold);
    return true;
}

void learningStep(const Rectangle& w) {
    pipeline::refreshReference();
    analyseStrip(learningStrip);
    pipeline::acquireFrame();
    learnCount += 1;
    if (learnCount > 1) {
        sceneState = state::stable;
        slightMinDiff = learntDiff;
        stableCount = 0;
        return;
    }
    if (slightCount > slightEventsBeforeAdapting) {
        // Adapted here, but the Stable step that follows sets it back.
        slightCount = 0;
        slightMotionThreshold = slightMinDiff;
        slightMinDiff = unsetDiff;
        return;
    }
    windowDiff = differenceOf(w);
    if (fastMotion(w)) {
        sceneState = state::moving;
        return;
    }
    if (windowDiff > slightMotionThreshold && windowDiff - previousWindowDiff > slightMotionRise) {
        noteSlightMotion();
    } else {
        noteQuietFrame(w);
    }
    previousWindowDiff = windowDiff;
    sceneState = state::learning;
}

void enterMoving(std::int32_t change, std::int32_t threshold) {
    sceneState = state::moving;
    movingCount = 0;
    platform::console::print("\nTAVO(TM) motion detection by the tavomotion project\n");
    platform::console::print("diff [%6d] percent [%3d]  MT %d sdiff [%5d]\n", windowDiff,
                             windowDiff * 100 / threshold, threshold, change);
}

// Both status lines show the same seven figures.
void writeSlightMotionLine(std::int32_t change, std::int32_t threshold) {
    std::snprintf(statusLine, sizeof statusLine,
                  "%9ld: slight motion.. diff %6d [%3d] MT %d sdiff %3d [%2d] std %4d\n"
                  "motion detection by the tavomotion project\n",
                  static_cast<long>(pipeline::frameCount), windowDiff, windowDiff * 100 / threshold,
                  threshold, change, change * 100 / baseSlightThreshold(backgroundRange), stillTexture);
}

void writeNoMotionLine(std::int32_t change, std::int32_t threshold) {
    std::snprintf(statusLine, sizeof statusLine,
                  "%9ld: no     motion.. diff %6d [%3d] MT %d sdiff %3d [%2d] std %4d\n",
                  static_cast<long>(pipeline::frameCount), windowDiff, windowDiff * 100 / threshold,
                  threshold, change, change * 100 / baseSlightThreshold(backgroundRange), stillTexture);
}

void stableStep(const Rectangle& w) {
    stableCount += 1;
    slightMotionThreshold = baseSlightThreshold(backgroundRange);
    setStatusText("stable..waiting for motion.....");
    const std::int32_t change = textureChange(textureOf(w));
    windowDiff = differenceOf(w);
    const std::int32_t threshold = motionThreshold(backgroundRange);
    if ((windowDiff > threshold && change > motionTextureChange) ||
        windowDiff > strongMotionThreshold(backgroundRange)) {
        enterMoving(change, threshold);
        return;
    }
    if (windowDiff > threshold && change > slightMotionTextureChange) {
        writeSlightMotionLine(change, threshold);
        return;
    }
    writeNoMotionLine(change, threshold);
    if (stableCount > stableStepsBeforeRelearning) {
        // Learn the empty scene afresh now and then.
        stableCount = 0;
        slightCount = 0;
        learnCount = 0;
        sceneState = state::learning;
    }
}

void timeOutMoving() {
    movingCount = 0;
    sceneState = state::reset;
    platform::console::print("\nresetting... \n");
    pipeline::acquireFrame();
    analyseStrip(resetStrip);
}

void movingStep(const Rectangle& w) {
    setStatusText("still moving, waiting for stable ");
    if (movingCount > pipeline::fps + pipeline::fps) {
        timeOutMoving();
        return;
    }
    const std::int32_t difference = differenceOf(w);
    const std::int32_t threshold = baseSlightThreshold(backgroundRange);
    if (difference > threshold) {
        const std::int32_t texture = textureOf(w);
        if (textureChange(texture) > movingTextureChange) {
            movingCount += 1;
            platform::console::print("\nNot stable abs diff percent [%3d]  %3d/%3d  contrast percent [%3d] ",
                                     difference * 100 / threshold, texture, stillTexture,
                                     (texture - stillTexture) * 100 / movingTextureChange);
            return;
        }
    }
    sceneState = state::stable;
    pipeline::refreshReference();
    platform::console::print("\nstabled after counts %d\n", movingCount);
}

}  // namespace

void stepSceneState(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    pipeline::acquireFrame();
    stepOnAcquiredFrame(top, bottom, left, right);
}

void stepOnAcquiredFrame(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right) {
    const Rectangle w{top, bottom, left, right};
    windowTexture = textureOf(w);
    switch (sceneState) {
        case state::learning:
            learningStep(w);
            break;
        case state::stable:
            stableStep(w);
            break;
        case state::moving:
            movingStep(w);
            break;
        default:
            resetStep();
            learningStep(w);
            break;
    }
}

}  // namespace analysis
