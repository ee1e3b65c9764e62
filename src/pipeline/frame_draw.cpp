#include <cstring>

#include "pipeline/frame_image.h"
#include "platform/winsys/paint.h"

namespace pipeline {

void FrameImage::draw(platform::HDC dc, int x, int y) const {
    if (dib == nullptr) return;
    platform::BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    // Only the frame this record describes: its rows lie inside the buffer.
    // Wide, since the most negative height has no positive int.
    const std::int64_t rows =
        header.biHeight > 0 ? header.biHeight : -static_cast<std::int64_t>(header.biHeight);
    if (header.biWidth != width || rows != height) return;
    platform::SetDIBitsToDevice(dc, x, y, static_cast<platform::DWORD>(width),
                                static_cast<platform::DWORD>(height), 0, 0, 0,
                                static_cast<platform::UINT>(height), pixels,
                                reinterpret_cast<const platform::BITMAPINFO*>(dib), platform::DIB_RGB_COLORS);
}

}  // namespace pipeline
