#include "platform/winsys/window_surface.h"

#include <vector>

#include "platform/winsys/window.h"

namespace platform {
namespace {

// Never destroyed, like the window records: exit-time code may still
// paint. Surfaces are held by pointer so a device context stays put.
std::vector<std::unique_ptr<WindowSurface>>& surfaces() {
    static auto* const all = new std::vector<std::unique_ptr<WindowSurface>>;
    return *all;
}

}  // namespace

WindowSurface::WindowSurface(HWND owner, int width, int height)
    : window(owner), canvas(width, height, white), invalid(canvas.bounds()), eraseRequested(true) {
    context.canvas = &canvas;
    resetDrawingState(context);
}

WindowSurface& addSurface(HWND window) {
    removeSurface(window);
    return *surfaces().emplace_back(std::make_unique<WindowSurface>(window, window->width, window->height));
}

void removeSurface(HWND window) {
    std::erase_if(surfaces(),
                  [window](const std::unique_ptr<WindowSurface>& s) { return s->window == window; });
}

WindowSurface* surfaceOf(HWND window) {
    for (const std::unique_ptr<WindowSurface>& surface : surfaces()) {
        if (surface->window == window) return surface.get();
    }
    return nullptr;
}

WindowSurface* surfaceShownIn(std::uint32_t screenId) {
    for (const std::unique_ptr<WindowSurface>& surface : surfaces()) {
        if (surface->screen != nullptr && surface->screen->id() == screenId) return surface.get();
    }
    return nullptr;
}

void forEachSurface(const std::function<void(WindowSurface&)>& visit) {
    for (const std::unique_ptr<WindowSurface>& surface : surfaces()) visit(*surface);
}

DeviceContext* paintingContext(HDC context) {
    for (const std::unique_ptr<WindowSurface>& surface : surfaces()) {
        if (&surface->context == context) return context->painting ? context : nullptr;
    }
    return nullptr;
}

const Canvas* windowCanvas(HWND window) {
    const WindowSurface* surface = surfaceOf(window);
    return surface == nullptr ? nullptr : &surface->canvas;
}

}  // namespace platform
