#pragma once
// The drawing side of a captioned top-level window: its canvas, the area
// waiting to be painted, the device context of its paints and, when shown
// on a display, its on-screen window.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/winsys/canvas.h"
#include "platform/winsys/device_context.h"
#include "platform/winsys/screen_window.h"
#include "platform/winsys/win32_types.h"

namespace platform {

struct WindowSurface {
    WindowSurface(HWND owner, int width, int height);

    HWND window;
    Canvas canvas;
    RECT invalid{};  // empty when nothing waits to be painted
    bool eraseRequested = false;
    DeviceContext context;
    std::unique_ptr<ScreenWindow> screen;  // null while off-screen
};

WindowSurface& addSurface(HWND window);
void removeSurface(HWND window);
// Null for a window without a canvas (child windows, destroyed windows).
WindowSurface* surfaceOf(HWND window);
WindowSurface* surfaceShownIn(std::uint32_t screenId);
void forEachSurface(const std::function<void(WindowSurface&)>& visit);

// The canvas of a captioned top-level window, for snapshots and tests;
// null for any other window.
const Canvas* windowCanvas(HWND window);

}  // namespace platform
