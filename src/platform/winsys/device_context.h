#pragma once
// The device context of a paint: where it draws, what it is clipped to and
// the drawing state a fresh paint starts with (GDI defaults).
#include "platform/winsys/canvas.h"
#include "platform/winsys/win32_types.h"

namespace platform {

struct DeviceContext {
    Canvas* canvas = nullptr;
    bool painting = false;  // between BeginPaint and EndPaint
    RECT clip{};            // the paint's area, within the canvas
    HFONT font = nullptr;
    HBRUSH brush = nullptr;
    Rgb textColour = black;
    Rgb backgroundColour = white;
    bool opaqueBackground = true;
};

// Back to the state of a fresh device context.
void resetDrawingState(DeviceContext& context);

// The context if it belongs to a paint in progress, else null: drawing
// outside BeginPaint .. EndPaint, or with a stale handle, does nothing.
DeviceContext* paintingContext(HDC context);

}  // namespace platform
