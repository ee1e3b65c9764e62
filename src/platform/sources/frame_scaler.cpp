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

    const std::uint32_t rowBytes = dibRowBytes(width);
    const std::size_t pixelRowBytes = static_cast<std::size_t>(width) * 3;
    topDown_.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    std::uint8_t* const destination[4] = {topDown_.data(), nullptr, nullptr, nullptr};
    const int destinationStrides[4] = {static_cast<int>(rowBytes), 0, 0, 0};
    const int rows = sws_scale(context_, picture.planes, picture.strides, 0, picture.height, destination,
                               destinationStrides);
    if (rows != height) return false;

    // A DIB keeps its bottom row first; the padding bytes are zero.
    for (int row = 0; row < height; ++row) {
        std::uint8_t* target = image + static_cast<std::size_t>(height - 1 - row) * rowBytes;
        std::memcpy(target, topDown_.data() + static_cast<std::size_t>(row) * rowBytes, pixelRowBytes);
        std::memset(target + pixelRowBytes, 0, rowBytes - pixelRowBytes);
    }
    return true;
}

}  // namespace platform
