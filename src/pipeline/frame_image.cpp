#include "pipeline/frame_image.h"

#include <cstring>

#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"

namespace pipeline {

FrameImage frameImage = {0, 0, nullptr, nullptr};

namespace {

// Frames the pipeline can convert: uncompressed 24-bit, at most 768 x 576,
// wholly inside the DIB buffer. Anything else keeps the previous frame's
// description, so nothing reads or writes outside a buffer.
bool convertible(const platform::BITMAPINFOHEADER& header) {
    if (header.biBitCount != 24 || header.biCompression != platform::BI_RGB) return false;
    if (header.biWidth <= 0 || header.biWidth > 768 || header.biHeight == 0) return false;
    const std::int64_t rows =
        header.biHeight > 0 ? header.biHeight : -static_cast<std::int64_t>(header.biHeight);
    if (rows > 576 || header.biWidth * rows > grayCapacity) return false;
    const std::uint64_t headerBytes = (header.biSize != 0 ? header.biSize : 40ull) + 4ull * header.biClrUsed;
    return headerBytes + 3ull * static_cast<std::uint64_t>(header.biWidth * rows) <= capture::dibBufferBytes;
}

}  // namespace

void FrameImage::update() {
    std::uint32_t size = 0;
    if (capture::captureDevice.grabFrame(&dib, 0, &size) == 0) {
        platform::console::print("capture dib error\n");
        return;
    }
    readDibHeader();
}

void FrameImage::readDibHeader() {
    platform::BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    if (!convertible(header)) return;
    width = header.biWidth;
    height = header.biHeight > 0 ? header.biHeight : -header.biHeight;
    pixels = dib + capture::CaptureDevice::dibHeaderSize(&header);
}

}  // namespace pipeline
