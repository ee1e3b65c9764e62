#include "platform/sources/frame_scaler.h"

#include <cstring>

#include "platform/sources/frame_source.h"

extern "C" {
#include <libswscale/swscale.h>
}

namespace platform {

FrameScaler::~FrameScaler() { sws_freeContext(context_); }

bool FrameScaler::scale(const Picture& picture, int width, int height, std::uint8_t* image) {
    context_ = sws_getCachedContext(context_, picture.width, picture.height, picture.format, width, height,
                                    AV_PIX_FMT_BGR24, SWS_AREA | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr,
                                    nullptr, nullptr);
    if (context_ == nullptr) return false;

    // A DIB keeps its bottom row first: swscale writes upwards from the last
    // row, so no second copy of the picture is needed.
    const std::uint32_t rowBytes = dibRowBytes(width);
    std::uint8_t* const destination[4] = {image + static_cast<std::size_t>(height - 1) * rowBytes, nullptr,
                                          nullptr, nullptr};
    const int destinationStrides[4] = {-static_cast<int>(rowBytes), 0, 0, 0};
    const int rows = sws_scale(context_, picture.planes, picture.strides, 0, picture.height, destination,
                               destinationStrides);
    if (rows != height) return false;

    // The padding bytes at the end of each row are zero.
    const std::size_t pixelRowBytes = static_cast<std::size_t>(width) * 3;
    if (rowBytes == pixelRowBytes) return true;
    for (int row = 0; row < height; ++row) {
        std::memset(image + static_cast<std::size_t>(row) * rowBytes + pixelRowBytes, 0,
                    rowBytes - pixelRowBytes);
    }
    return true;
}

}  // namespace platform
