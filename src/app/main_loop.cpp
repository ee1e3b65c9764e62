#include "app/main_loop.h"

#include "analysis/dark_object.h"
#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "app/app_state.h"
#include "app/display.h"
#include "app/picture_commands.h"
#include "app/regions.h"
#include "app/replay_progress.h"
#include "app/trigger_images.h"
#include "pipeline/frame_pipeline.h"
#include "platform/clock/clock.h"
#include "platform/console/console.h"
#include "platform/winsys/window.h"

namespace app {
namespace {

constexpr std::int32_t darknessThreshold = 300;
constexpr int blackPassAttempts = 6;
constexpr std::int32_t blackValueFloor = 2;
constexpr std::int32_t secondVehicleRatio = 125;
constexpr std::int64_t followUpPauseMilliseconds = 1000;
constexpr std::int32_t moving = 2;

std::int32_t measure(const Region& region) {
    return analysis::measureBrightness(region.top, region.bottom, region.left, region.right);
}

void stepScene() {
    analysis::stepSceneState(detectionWindow.top, detectionWindow.bottom, detectionWindow.left,
                             detectionWindow.right);
}

bool darkObjectInACell() {
    static constexpr auto cells = darkObjectCells();
    for (const Region& cell : cells) {
        if (analysis::testDarkObject(cell.top, cell.bottom, cell.left, cell.right)) return true;
    }
    return false;
}

void resetCellExtremes() {
    analysis::cellBrightnessMin = 9999999;
    analysis::cellTextureMin = 9999999;
    analysis::cellBrightnessMax = 0;
    analysis::cellTextureMax = 0;
}

void waitForBlackToPass() {
    for (int attempt = 0; attempt < blackPassAttempts; ++attempt) {
        pipeline::acquireFrame();
        const std::int32_t brightness = measure(blackPassStrip);
        if (brightness > analysis::cellBrightness) {
            platform::console::print("\nblack passed present bright value %d reference black %d\n",
                                     brightness, analysis::cellBrightness);
            return;
        }
        platform::console::print("\n[%d] waitinng for black to pass %d ref %d", attempt, brightness,
                                 analysis::cellBrightness);
    }
}

// True when a second vehicle was seen and saved.
bool secondVehicleSaved() {
    const std::int32_t brightness = measure(blackPassStrip);
    if (brightness * 100 / analysis::cellBrightness >= secondVehicleRatio) return false;
    platform::console::print("\n another car detected  bright %d blackvalue %d-------------------------\n",
                             brightness, analysis::cellBrightness);
    saveTriggerImage();
    return true;
}

// A stop ends the follow at once: a queue may stand in the window for minutes.
void followVehicle() {
    while (analysis::sceneState == moving && !platform::clock::stopRequested()) {
        if (analysis::cellBrightness < blackValueFloor) analysis::cellBrightness = blackValueFloor;
        stepScene();
        if (triggerOnAnyMotion == 0 && secondVehicleSaved()) return;
        platform::clock::sleepMilliseconds(followUpPauseMilliseconds);
        paintDisplay();
    }
}

}  // namespace

void runTriggerCycle() {
    resetCellExtremes();
    saveTriggerImage();
    paintTriggerMark();
    platform::console::print(" car detected black value %d \n", analysis::cellBrightness);
    waitForBlackToPass();
    followVehicle();
    platform::console::print("car left\n");
}

bool takeNextFrame(platform::MSG& message) {
    if (platform::PeekMessageA(&message, nullptr, 0, 0, platform::PM_REMOVE) != 0) {
        platform::UpdateWindow(mainWindow);
        platform::TranslateMessage(&message);
        platform::DispatchMessageA(&message);
    }
    pipeline::acquireFrame();
    showReplayProgress();
    reapPictureCommands();
    return quitRequested == 0;
}

int runMainLoop() {
    platform::MSG message{};
    for (;;) {
        if (!takeNextFrame(message)) break;
        stepScene();
        const std::int32_t brightness = measure(topStrip);
        if (brightness < darknessThreshold) {
            platform::console::print("Too dark %d\n", brightness);
            paintTooDark();
            continue;
        }
        if (analysis::sceneState == moving && (triggerOnAnyMotion != 0 || darkObjectInACell())) {
            runTriggerCycle();
        }
        paintDisplay();
    }
    platform::console::print("winmain returning\n");
    return static_cast<int>(message.wParam);
}

}  // namespace app
