#pragma once
// Turns one decoded or rendered picture into the driver's format: BGR24 at
// the size the driver was set to, bottom row first, rows padded to 4 bytes.
//
// Two ways, both with area averaging when shrinking:
// - exact: swscale with accurate rounding, bit-exact: the same bytes on every
//   machine. Rendered scenes and image sequences take it, so their replays
//   match byte for byte anywhere.
// - quick (YUV pictures of recordings and cameras): the area averaging is done
//   in YUV, then swscale's SIMD conversion to BGR; a fifth of the cost, the
//   same bytes every time on one machine and build, not across machines.
#include <cstdint>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;
struct SwsContext;

namespace platform {

struct Picture {
    const std::uint8_t* const* planes;
    const int* strides;
    AVPixelFormat format;
    int width;
    int height;
};

enum class Conversion { exact, quick };

class FrameScaler {
public:
    explicit FrameScaler(Conversion conversion = Conversion::exact) : conversion_(conversion) {}
    FrameScaler(const FrameScaler&) = delete;
    FrameScaler& operator=(const FrameScaler&) = delete;
    ~FrameScaler();

    // False when swscale cannot convert this picture (unsupported format).
    bool scale(const Picture& picture, int width, int height, std::uint8_t* image);

private:
    bool scaleExactly(const Picture& picture, int width, int height, std::uint8_t* image);
    bool scaleInYuv(const Picture& picture, int width, int height, std::uint8_t* image);
    bool convertThroughPaddedPicture(const Picture& small, int width, int height, std::uint8_t* image);
    bool shrinkInYuv(const Picture& picture, int width, int height);
    Picture halvedFirst(const Picture& picture, int width, int height);

    Conversion conversion_;
    SwsContext* exact_ = nullptr;
    SwsContext* shrink_ = nullptr;
    SwsContext* toBgr_ = nullptr;
    AVFrame* halved_ = nullptr;
    AVFrame* shrunk_ = nullptr;
    AVFrame* bgr_ = nullptr;
};

}  // namespace platform
