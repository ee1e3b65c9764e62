#include "platform/winsys/gdi_objects.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/winsys/device_context.h"
#include "platform/winsys/paint.h"

namespace platform {
namespace {

GdiObject whiteBrush{GdiObject::Kind::brush, true, true, white, nullptr};
GdiObject blackBrush{GdiObject::Kind::brush, true, true, black, nullptr};
GdiObject stockFont{GdiObject::Kind::font, true, true, black, nullptr};

// Created fonts are recycled rather than freed, so the font made and
// deleted each frame costs no allocation, and a stale handle never points
// at freed memory.
std::vector<std::unique_ptr<GdiObject>>& createdFonts() {
    static auto* const fonts = new std::vector<std::unique_ptr<GdiObject>>;
    return *fonts;
}

GdiObject* knownObject(HGDIOBJ object) {
    if (object == &whiteBrush || object == &blackBrush || object == &stockFont) return object;
    for (const std::unique_ptr<GdiObject>& font : createdFonts()) {
        if (font.get() == object) return object;
    }
    return nullptr;
}

GdiObject& unusedFontObject() {
    for (const std::unique_ptr<GdiObject>& font : createdFonts()) {
        if (!font->live) return *font;
    }
    return *createdFonts().emplace_back(std::make_unique<GdiObject>());
}

}  // namespace

HFONT defaultFontObject() { return &stockFont; }

bool brushColour(HBRUSH brush, Rgb& colour) {
    if (brush != &whiteBrush && brush != &blackBrush) return false;
    colour = brush->colour;
    return true;
}

FontInstance* textFont(const DeviceContext& context) {
    const GdiObject* font = knownObject(context.font);
    if (font == nullptr || !font->live || font == &stockFont) return defaultFont();
    return font->font;
}

void resetDrawingState(DeviceContext& context) {
    context.font = &stockFont;
    context.brush = &whiteBrush;
    context.textColour = black;
    context.backgroundColour = white;
    context.opaqueBackground = true;
}

HGDIOBJ GetStockObject(int object) {
    switch (object) {
        case WHITE_BRUSH:
            return &whiteBrush;
        case BLACK_BRUSH:
            return &blackBrush;
        default:
            return nullptr;
    }
}

HFONT CreateFontA(int height, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                  const char* face) {
    // GDI reads a negative height as the character height and 0 as the
    // default; both come out as a pixel height here.
    const long long magnitude = std::llabs(static_cast<long long>(height));
    const int pixelHeight = magnitude == 0 ? 10 : static_cast<int>(std::min<long long>(magnitude, INT_MAX));
    GdiObject& font = unusedFontObject();
    font = {GdiObject::Kind::font, false, true, black, findFont(face, pixelHeight)};
    return &font;
}

HGDIOBJ SelectObject(HDC context, HGDIOBJ object) {
    DeviceContext* painting = paintingContext(context);
    GdiObject* selected = knownObject(object);
    if (painting == nullptr || selected == nullptr || !selected->live) return nullptr;
    HGDIOBJ& slot = selected->kind == GdiObject::Kind::font ? painting->font : painting->brush;
    HGDIOBJ previous = slot;
    slot = selected;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    GdiObject* deleted = knownObject(object);
    if (deleted == nullptr || !deleted->live) return 0;
    if (!deleted->stock) deleted->live = false;
    return 1;
}

}  // namespace platform
