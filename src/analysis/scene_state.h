#pragma once
// The motion state machine: learns the empty scene, declares it Stable, and
// switches to Moving when the detection window departs strongly from the
// reference, until it settles again.
#include <cstddef>
#include <cstdint>

namespace analysis {

// Values of sceneState; any other value is handled as reset.
namespace state {
constexpr std::int32_t reset = -1;
constexpr std::int32_t learning = 0;
constexpr std::int32_t stable = 1;
constexpr std::int32_t moving = 2;
}  // namespace state

constexpr std::size_t statusCapacity = 500;

extern std::int32_t sceneState;
extern std::int32_t windowDiff;
extern std::int32_t windowTexture;
extern std::int32_t stillTexture;
extern std::int32_t previousWindowDiff;
extern std::int32_t slightMotionThreshold;
extern std::int32_t slightMinDiff;
extern std::int32_t stillDarkLevel;
extern std::int32_t learnCount;
extern std::int32_t slightCount;
extern std::int32_t stableCount;
extern std::int32_t movingCount;

// Short state text for the window title, and the status line drawn in the
// window.
extern char statusText[statusCapacity];
extern char statusLine[statusCapacity];

// One step on the detection window (top, bottom, left, right): acquires a
// frame, then stepOnAcquiredFrame.
void stepSceneState(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

// The rest of a step, on the frame already in currentImage.
void stepOnAcquiredFrame(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right);

}  // namespace analysis
