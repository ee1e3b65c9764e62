#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

#include "platform/winsys/device_context.h"
#include "platform/winsys/gdi_objects.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/rect_math.h"

namespace platform {
namespace {

// Text positions are kept wide: a box far off the canvas with a long text
// must not overflow on its way to being clipped away.
using Position = long long;

LONG toLong(Position value) { return static_cast<LONG>(std::clamp<Position>(value, INT_MIN, INT_MAX)); }

RECT wideRect(Position left, Position top, Position right, Position bottom) {
    return {toLong(left), toLong(top), toLong(right), toLong(bottom)};
}

bool isDrawn(char c) { return c != '\r'; }

Position lineWidth(FontInstance& font, std::string_view line) {
    Position width = 0;
    for (char c : line) {
        if (isDrawn(c)) width += font.glyph(static_cast<unsigned char>(c)).advance;
    }
    return width;
}

void drawGlyph(Canvas& canvas, const Glyph& glyph, Position penX, Position baselineY, const RECT& clip,
               Rgb colour) {
    const Position left = penX + glyph.left;
    const Position top = baselineY - glyph.top;
    const RECT area = intersectRects(wideRect(left, top, left + glyph.width, top + glyph.rows), clip);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint8_t* coverage = &glyph.coverage[static_cast<std::size_t>(y - top) * glyph.width];
        for (int x = area.left; x < area.right; ++x) {
            if (coverage[x - left] != 0) canvas.blend(x, y, colour, coverage[x - left]);
        }
    }
}

// One line of text with its top-left at (x, top), kept within its own rows.
void drawLine(DeviceContext& context, FontInstance& font, std::string_view line, Position x, Position top,
              const RECT& clip) {
    const RECT lineClip = intersectRects(clip, wideRect(clip.left, top, clip.right, top + font.lineHeight()));
    if (isEmptyRect(lineClip)) return;
    if (context.opaqueBackground) {
        const RECT extent = wideRect(x, top, x + lineWidth(font, line), top + font.lineHeight());
        const RECT filled = intersectRects(extent, lineClip);
        if (!isEmptyRect(filled)) context.canvas->fill(filled, context.backgroundColour);
    }
    Position penX = x;
    for (char c : line) {
        if (penX >= lineClip.right) break;
        if (!isDrawn(c)) continue;
        const Glyph& glyph = font.glyph(static_cast<unsigned char>(c));
        drawGlyph(*context.canvas, glyph, penX, top + font.baseline(), lineClip, context.textColour);
        penX += glyph.advance;
    }
}

}  // namespace

int DrawTextA(HDC context, const char* text, int length, RECT* box, UINT) {
    DeviceContext* painting = paintingContext(context);
    if (painting == nullptr || text == nullptr || box == nullptr) return 0;
    FontInstance* font = textFont(*painting);
    if (font == nullptr) return 0;
    const std::string_view all(text, length < 0 ? std::strlen(text) : static_cast<std::size_t>(length));
    const RECT clip = intersectRects(*box, painting->clip);
    Position top = box->top;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(all.find('\n', start), all.size());
        if (top < clip.bottom)
            drawLine(*painting, *font, all.substr(start, end - start), box->left, top, clip);
        if (end == all.size()) break;
        start = end + 1;
        top += font->lineHeight();
    }
    return toLong(top + font->lineHeight() - box->top);
}

}  // namespace platform
