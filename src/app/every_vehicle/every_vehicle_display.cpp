#include "app/every_vehicle/every_vehicle_display.h"

#include <algorithm>
#include <cstdio>

#include "app/display.h"
#include "app/survey/road_grid.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"

namespace app {

using namespace platform;

namespace {

constexpr int gaugeWidth = 320;

// Always as long, so each line covers the one before without an erase.
constexpr int statusWidth = 120;

void formatStatus(const analysis::everyvehicle::WatchFigures& figures, char* text, std::size_t size) {
    if (figures.learning) {
        std::snprintf(text, size, "%-*s", statusWidth, "every vehicle: learning the empty scene");
        return;
    }
    char figuresText[statusWidth + 1];
    std::snprintf(figuresText, sizeof figuresText,
                  "every vehicle: %d in the window, %d %% covered, noise %.1f threshold %.1f gain %.2f sway "
                  "%+.1f %+.1f px, "
                  "%d pictures",
                  figures.vehicles, figures.coverPercent, static_cast<double>(figures.noise),
                  static_cast<double>(figures.threshold), static_cast<double>(figures.gain),
                  // As the window shows the frame: not mirrored.
                  static_cast<double>(-figures.shift.columns), static_cast<double>(figures.shift.rows),
                  picturesSaved);
    std::snprintf(text, size, "%-*s", statusWidth, figuresText);
}

void drawCoverGauge(HDC dc, int coverPercent) {
    FrameRect(dc, &gaugeFrame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const RECT oldBar{gaugeLeft, gaugeTop, gaugeRight, gaugeBottom};
    FillRect(dc, &oldBar, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    gaugeRight = framePosition + gaugeWidth * std::clamp(coverPercent, 0, 100) / 100;
    const RECT newBar{gaugeLeft, gaugeTop, gaugeRight, gaugeBottom};
    FillRect(dc, &newBar, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

// Formatting the figures costs more than the rest of an unseen paint: done
// only when something shows or reads them.
void paintWatchDisplay(const analysis::everyvehicle::WatchFigures& figures) {
    char status[200] = "";
    if (liveFrameSeen() || titleRead()) formatStatus(figures, status, sizeof status);
    if (titleRead()) {
        std::snprintf(titleText, sizeof titleText, "TAVO(TM) MOTION - Frame %d: FPS: %2d - %s",
                      pipeline::frameCount, pipeline::fps, status);
        SetWindowTextA(mainWindow, titleText);
    }
    paintLiveFrame([&figures, &status](HDC dc) {
        pipeline::frameImage.draw(dc, framePosition, framePosition);
        survey::drawRoadGrid(dc, framePosition, framePosition);
        HFONT statusFont = CreateFontA(10, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier");
        HGDIOBJ previousFont = SelectObject(dc, statusFont);
        RECT statusBox = statusLineBox;
        DrawTextA(dc, status, -1, &statusBox, 0);
        outlineRegion(dc, detectionWindow, WHITE_BRUSH);
        drawCoverGauge(dc, figures.coverPercent);
        SelectObject(dc, previousFont);
        DeleteObject(statusFont);
    });
}

void paintVehiclePicture(const KeptFrame& frame) {
    paintArea(savedFrameArea, [&frame](HDC dc) { frame.image().draw(dc, savedFrameX, framePosition); });
}

}  // namespace app
