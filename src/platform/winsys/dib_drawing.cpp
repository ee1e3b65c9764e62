#include <algorithm>
#include <climits>
#include <cstdlib>

#include "platform/winsys/device_context.h"
#include "platform/winsys/paint.h"
#include "platform/winsys/rect_math.h"

namespace platform {
namespace {

// A 24-bit BI_RGB image as laid out in memory: B, G, R per pixel, rows
// padded to four bytes, bottom row first unless the height is negative.
struct DibLayout {
    int width;
    int height;
    bool bottomUp;
    std::size_t stride;
};

bool readLayout(const BITMAPINFOHEADER& header, DibLayout& layout) {
    if (header.biBitCount != 24 || header.biCompression != BI_RGB) return false;
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT_MIN) return false;
    layout.width = header.biWidth;
    layout.height = std::abs(header.biHeight);
    layout.bottomUp = header.biHeight > 0;
    layout.stride = (static_cast<std::size_t>(layout.width) * 3 + 3) / 4 * 4;
    return true;
}

// Only the whole image is drawn, and every one of its rows must be in the
// buffer.
bool drawsWholeImage(const DibLayout& layout, DWORD width, DWORD height, int xSrc, int ySrc, UINT startScan,
                     UINT scanLines) {
    return width == static_cast<DWORD>(layout.width) && height == static_cast<DWORD>(layout.height) &&
           xSrc == 0 && ySrc == 0 && startScan == 0 && scanLines >= height;
}

// The exclusive end of a span, held at the largest coordinate.
LONG farEdge(int start, int size) {
    return static_cast<LONG>(std::min<long long>(static_cast<long long>(start) + size, INT_MAX));
}

void copyRows(Canvas& canvas, const RECT& area, int xDest, int yDest, const DibLayout& layout,
              const std::uint8_t* bits) {
    for (int y = area.top; y < area.bottom; ++y) {
        const int imageRow = y - yDest;
        const int memoryRow = layout.bottomUp ? layout.height - 1 - imageRow : imageRow;
        const std::uint8_t* source = bits + static_cast<std::size_t>(memoryRow) * layout.stride;
        std::uint8_t* target = canvas.row(y);
        for (int x = area.left; x < area.right; ++x) {
            const std::uint8_t* pixel = source + static_cast<std::size_t>(x - xDest) * 3;
            target[x * 3] = pixel[2];
            target[x * 3 + 1] = pixel[1];
            target[x * 3 + 2] = pixel[0];
        }
    }
}

}  // namespace

int SetDIBitsToDevice(HDC context, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* info,
                      UINT colorUse) {
    DeviceContext* painting = paintingContext(context);
    DibLayout layout{};
    if (painting == nullptr || bits == nullptr || info == nullptr || colorUse != DIB_RGB_COLORS ||
        !readLayout(info->bmiHeader, layout) ||
        !drawsWholeImage(layout, width, height, xSrc, ySrc, startScan, scanLines)) {
        return 0;
    }
    const RECT target{xDest, yDest, farEdge(xDest, layout.width), farEdge(yDest, layout.height)};
    const RECT area = intersectRects(target, painting->clip);
    if (!isEmptyRect(area)) {
        copyRows(*painting->canvas, area, xDest, yDest, layout, static_cast<const std::uint8_t*>(bits));
    }
    return layout.height;
}

}  // namespace platform
