#include "platform/winsys/presentation.h"

#include <cstdio>

#include "platform/clock/clock.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/png_snapshot.h"
#include "platform/winsys/rect_math.h"
#include "platform/winsys/screen_window.h"
#include "platform/winsys/window.h"
#include "platform/winsys/window_surface.h"

namespace platform::presentation {
namespace {

bool headless = false;

// A function-local string, so it is usable however early it is set.
std::string& snapshotPath() {
    static std::string* const path = new std::string;
    return *path;
}

void showCanvas(WindowSurface& surface) {
    if (surface.screen != nullptr) surface.screen->show(surface.canvas);
}

void postToShownWindow(const ScreenEvent& event, UINT message) {
    WindowSurface* surface = surfaceShownIn(event.screenId);
    if (surface != nullptr) PostMessageA(surface->window, message, event.code, 0);
}

// The close button also ends SDL's last window, which SDL reports as a
// quit as well: one click is one close request.
void takeEvent(const ScreenEvent& event, bool& closeRequested) {
    switch (event.kind) {
        case ScreenEvent::Kind::closeButton:
        case ScreenEvent::Kind::quit:
            if (!closeRequested) postCloseRequest();
            closeRequested = true;
            clock::requestStop();
            break;
        case ScreenEvent::Kind::key:
            postToShownWindow(event, WM_KEYDOWN);
            break;
        case ScreenEvent::Kind::character:
            postToShownWindow(event, WM_CHAR);
            break;
        case ScreenEvent::Kind::exposed:
            if (WindowSurface* surface = surfaceShownIn(event.screenId)) showCanvas(*surface);
            break;
    }
}

}  // namespace

void setHeadless(bool on) {
    headless = on;
    if (on) forEachSurface([](WindowSurface& surface) { surface.screen.reset(); });
}

void windowCreated(HWND window) { addSurface(window); }

void windowShown(HWND window) {
    WindowSurface* surface = surfaceOf(window);
    if (headless || surface == nullptr || surface->screen != nullptr) return;
    surface->screen = ScreenWindow::open(window->title, surface->canvas.width(), surface->canvas.height());
    showCanvas(*surface);
}

void titleChanged(HWND window) {
    WindowSurface* surface = surfaceOf(window);
    if (surface != nullptr && surface->screen != nullptr) surface->screen->setTitle(window->title);
}

void snapshotWhenDestroyed(const std::string& path) { snapshotPath() = path; }

void windowDestroyed(HWND window) {
    if (!snapshotPath().empty()) {
        std::string failure;
        if (!writeWindowPng(window, snapshotPath(), failure)) {
            std::fprintf(stderr, "tavomotion: snapshot not written: %s\n", failure.c_str());
        }
    }
    removeSurface(window);
}

bool isOnScreen(HWND window) {
    const WindowSurface* surface = surfaceOf(window);
    return surface != nullptr && surface->screen != nullptr;
}

bool isInSight(HWND window) {
    const WindowSurface* surface = surfaceOf(window);
    return surface != nullptr && surface->screen != nullptr && !surface->screen->isOutOfSight();
}

void pumpEvents() {
    bool closeRequested = false;
    ScreenEvent event{};
    while (nextScreenEvent(event)) takeEvent(event, closeRequested);
}

void paintDefault(HWND window) {
    PAINTSTRUCT paint{};
    if (BeginPaint(window, &paint) == nullptr) return;
    EndPaint(window, &paint);
    if (WindowSurface* surface = surfaceOf(window)) showCanvas(*surface);
}

bool needsPaint(HWND window) {
    const WindowSurface* surface = surfaceOf(window);
    return surface != nullptr && !isEmptyRect(surface->invalid);
}

}  // namespace platform::presentation
