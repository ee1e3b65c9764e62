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

}  // namespace platform
