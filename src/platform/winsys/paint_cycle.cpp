#include "platform/winsys/paint.h"
#include "platform/winsys/rect_math.h"
#include "platform/winsys/window.h"
#include "platform/winsys/window_surface.h"

namespace platform {

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    WindowSurface* surface = surfaceOf(window);
    if (surface == nullptr) return 0;
    const RECT area =
        intersectRects(rect == nullptr ? surface->canvas.bounds() : *rect, surface->canvas.bounds());
    if (isEmptyRect(area)) return 1;
    surface->invalid = boundingRect(surface->invalid, area);
    surface->eraseRequested = surface->eraseRequested || erase != 0;
    return 1;
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    WindowSurface* surface = surfaceOf(window);
    if (surface == nullptr || paint == nullptr) return nullptr;
    DeviceContext& context = surface->context;
    resetDrawingState(context);
    context.painting = true;
    context.clip = isEmptyRect(surface->invalid) ? RECT{} : surface->invalid;
    if (surface->eraseRequested) surface->canvas.fill(context.clip, white);
    surface->invalid = {};
    surface->eraseRequested = false;
    *paint = {&context, 0, context.clip};
    return &context;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    WindowSurface* surface = surfaceOf(window);
    if (surface == nullptr || paint == nullptr || paint->hdc != &surface->context) return 0;
    surface->context.painting = false;
    return 1;
}

BOOL RedrawWindow(HWND window, const RECT*, void*, UINT flags) {
    WindowSurface* surface = surfaceOf(window);
    if (surface == nullptr) return 0;
    if ((flags & RDW_UPDATENOW) == 0) return 1;
    if (!isEmptyRect(surface->invalid)) SendMessageA(window, WM_PAINT, 0, 0);
    // The paint may have destroyed the window.
    surface = surfaceOf(window);
    if (surface != nullptr && surface->screen != nullptr) surface->screen->show(surface->canvas);
    return 1;
}

}  // namespace platform
