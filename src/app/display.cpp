#include "app/display.h"

#include <cstdio>

#include "analysis/region_measures.h"
#include "analysis/scene_state.h"
#include "analysis/thresholds.h"
#include "app/app_state.h"
#include "app/regions.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/presentation.h"
#include "platform/winsys/window.h"

namespace app {

using namespace platform;

namespace {

void formatTitle() {
    std::snprintf(titleText, sizeof titleText,
                  "TAVO(TM) MOTION - Frame %d: FPS: %2d Value: %4d Contrast: %4d - %s      ",
                  pipeline::frameCount, pipeline::fps, analysis::lastBrightness / 100,
                  analysis::windowTexture / 100, analysis::statusText);
}

void drawGauge(HDC dc) {
    FrameRect(dc, &gaugeFrame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT oldBar{gaugeLeft, gaugeTop, gaugeRight, gaugeBottom};
    FillRect(dc, &oldBar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    gaugeRight = gaugeRightEdge(analysis::windowDiff, analysis::backgroundRange);
    const RECT newBar{gaugeLeft, gaugeTop, gaugeRight, gaugeBottom};
    FillRect(dc, &newBar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void drawFullDisplay(HDC dc) {
    pipeline::frameImage.draw(dc, framePosition, framePosition);
    HFONT statusFont = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
    HGDIOBJ previousFont = SelectObject(dc, statusFont);
    RECT statusBox = statusLineBox;
    DrawTextA(dc, analysis::statusLine, -1, &statusBox, 0);
    outlineRegion(dc, detectionWindow, WHITE_BRUSH);
    for (const Region& band : cellBands) outlineRegion(dc, band, WHITE_BRUSH);
    drawGauge(dc);
    SelectObject(dc, previousFont);
    DeleteObject(statusFont);
}

}  // namespace

void outlineRegion(HDC dc, const Region& region, int brush) {
    const RECT outline =
        outlineOf(region.top, region.bottom, region.left, region.right, pipeline::frameImage.width);
    FrameRect(dc, &outline, static_cast<HBRUSH>(GetStockObject(brush)));
}

RECT outlineOf(int top, int bottom, int left, int right, int frameWidth) {
    return {framePosition + frameWidth - right, framePosition + top, framePosition + frameWidth - left,
            framePosition + bottom};
}

int gaugeRightEdge(int windowDifference, int backgroundRangeNow) {
    const int threshold = analysis::motionThreshold(backgroundRangeNow);
    float level = static_cast<float>(static_cast<double>(windowDifference) / threshold / 4);
    if (level > 1) level = 1;
    return static_cast<int>(320 * level + 10);
}

bool liveFrameSeen() {
    return unseenPaintsLeftOut == 0 || presentation::isInSight(mainWindow) || web::isWatched();
}

bool titleRead() { return presentation::isOnScreen(mainWindow) || web::isServing() || mqttEventsOn(); }

// The title carries the running figures to the web view's status too, so it
// is kept whether the paint is made or not.
void paintDisplay() {
    formatTitle();
    SetWindowTextA(mainWindow, titleText);
    paintLiveFrame(drawFullDisplay);
}

void paintTooDark() {
    paintLiveFrame([](HDC dc) {
        pipeline::frameImage.draw(dc, framePosition, framePosition);
        outlineRegion(dc, detectionWindow, BLACK_BRUSH);
    });
}

void paintTriggerMark() {
    paintArea(drawingArea, [](HDC dc) { outlineRegion(dc, detectionWindow, BLACK_BRUSH); });
}

void paintSavedFrame() {
    paintArea(savedFrameArea, [](HDC dc) { pipeline::frameImage.draw(dc, savedFrameX, framePosition); });
}

}  // namespace app
