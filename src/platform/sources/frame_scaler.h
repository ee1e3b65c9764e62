#pragma once
// Turns one decoded or rendered picture into the driver's format: BGR24 at
// the size the driver was set to, bottom row first, rows padded to 4 bytes.
// swscale, area filter, accurate rounding, bit-exact, one thread.
#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct SwsContext;

namespace platform {

struct Picture {
    const std::uint8_t* const* planes;
    const int* strides;
    AVPixelFormat format;
    int width;
    int height;
};

class FrameScaler {
public:
    FrameScaler() = default;
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;
    ~FrameScaler();

    // False when swscale cannot convert this picture (unsupported format).
    bool scale(const Picture& picture, int width, int height, std::uint8_t* image);

private:
    SwsContext* context_ = nullptr;
};

}  // namespace platform
