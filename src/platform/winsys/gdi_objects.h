#pragma once
// Brushes and fonts behind HGDIOBJ handles.
#include "platform/winsys/canvas.h"
#include "platform/winsys/font_cache.h"
#include "platform/winsys/win32_types.h"

namespace platform {

struct GdiObject {
    enum class Kind { brush, font };
    Kind kind;
    bool stock;
    bool live;
    Rgb colour;          // brushes
    FontInstance* font;  // fonts; null: no usable font was found
};

// The stock font a fresh device context holds.
HFONT defaultFontObject();

// False for a handle that is no live brush.
bool brushColour(HBRUSH brush, Rgb& colour);

// What the context draws text with: its font, or the default one when that
// was deleted; null when no font can be rendered.
FontInstance* textFont(const DeviceContext& context);

}  // namespace platform
