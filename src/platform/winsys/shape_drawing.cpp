#include "platform/winsys/device_context.h"
#include "platform/winsys/gdi_objects.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/rect_math.h"

namespace platform {
namespace {

void fillClipped(DeviceContext& context, const RECT& area, Rgb colour) {
    const RECT clipped = intersectRects(area, context.clip);
    if (!isEmptyRect(clipped)) context.canvas->fill(clipped, colour);
}

}  // namespace

int FillRect(HDC context, const RECT* rect, HBRUSH brush) {
    DeviceContext* painting = paintingContext(context);
    Rgb colour{};
    if (painting == nullptr || rect == nullptr || !brushColour(brush, colour)) return 0;
    fillClipped(*painting, *rect, colour);
    return 1;
}

int FrameRect(HDC context, const RECT* rect, HBRUSH brush) {
    DeviceContext* painting = paintingContext(context);
    Rgb colour{};
    if (painting == nullptr || rect == nullptr || !brushColour(brush, colour)) return 0;
    const RECT& r = *rect;
    if (isEmptyRect(r)) return 1;
    fillClipped(*painting, {r.left, r.top, r.right, r.top + 1}, colour);
    fillClipped(*painting, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
    fillClipped(*painting, {r.left, r.top, r.left + 1, r.bottom}, colour);
    fillClipped(*painting, {r.right - 1, r.top, r.right, r.bottom}, colour);
    return 1;
}

COLORREF SetPixel(HDC context, int x, int y, COLORREF colour) {
    DeviceContext* painting = paintingContext(context);
    const RECT& clip = painting != nullptr ? painting->clip : RECT{};
    if (painting == nullptr || x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)
        return static_cast<COLORREF>(-1);
    painting->canvas->set(x, y,
                          {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                           static_cast<std::uint8_t>(colour >> 16)});
    return colour;
}

}  // namespace platform
