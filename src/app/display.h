#pragma once
// What the main window shows: the live frame, the watched regions, the status
// line, the title with the running figures and the motion gauge; after a
// trigger, the saved frame beside the live one.
#include "app/app_state.h"
#include "app/mqtt_events.h"
#include "app/regions.h"
#include "app/web/web_view.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/win32_types.h"
#include "platform/winsys/window.h"

namespace app {

constexpr platform::RECT drawingArea{0, 0, 660, 500};
constexpr platform::RECT savedFrameArea{340, 10, 660, 250};
constexpr platform::RECT statusLineBox{10, 250, 800, 290};
constexpr platform::RECT gaugeFrame{10, 280, 330, 290};
constexpr int gaugeLeft = 12;
constexpr int gaugeTop = 282;
constexpr int gaugeBottom = 288;
// Where the live frame and the saved frame are drawn.
constexpr int framePosition = 10;
constexpr int savedFrameX = 330;

// After each paint, painted or left out: the web view and MQTT take the
// canvas and the running figures when they are due.
inline void offerPaint() {
    web::offerToWebView();
    offerToMqtt();
}

// One paint: invalidate the area, draw clipped to it, show the result at once.
template <typename Drawing>
void paintArea(const platform::RECT& area, Drawing draw) {
    platform::InvalidateRect(mainWindow, &area, 0);
    platform::PAINTSTRUCT paint{};
    platform::HDC dc = platform::BeginPaint(mainWindow, &paint);
    draw(dc);
    platform::EndPaint(mainWindow, &paint);
    platform::RedrawWindow(mainWindow, &drawingArea, nullptr, platform::RDW_UPDATENOW);
    offerPaint();
}

// Whether anything shows or reads the live frame's paint (see
// unseenPaintsLeftOut).
bool liveFrameSeen();

// Whether anything shows or reads the title's running figures: a screen, the
// web view's status, MQTT's status.
bool titleRead();

// The paint of the live frame, repeated for every frame: left out when
// nobody sees it. The next one seen draws the whole live area again; the
// rare paints (the saved frame, the trigger mark) are always made.
template <typename Drawing>
void paintLiveFrame(Drawing draw) {
    if (liveFrameSeen()) {
        paintArea(drawingArea, draw);
    } else {
        offerPaint();
    }
}

// Outlines a gray-image region where it lies on the displayed frame.
void outlineRegion(platform::HDC dc, const Region& region, int brush);

void paintDisplay();
void paintTooDark();
void paintTriggerMark();
void paintSavedFrame();

// Right edge of the gauge bar for a window difference against the motion
// threshold of a background range.
int gaugeRightEdge(int windowDifference, int backgroundRangeNow);

// Where a gray-image region lies on the displayed frame: the gray image is
// the frame mirrored left to right, and the frame is drawn at (10, 10).
platform::RECT outlineOf(int top, int bottom, int left, int right, int frameWidth);

}  // namespace app
