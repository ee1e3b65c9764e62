#include "platform/sources/frame_scaler.h"

#include <cstring>

#include "platform/sources/frame_source.h"
#include "platform/sources/half_size.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {
namespace {

// The SIMD conversion to BGR writes this many pixels at a time.
constexpr int simdBlockPixels = 16;

bool isYuv(AVPixelFormat format) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(format);
    constexpr std::uint64_t notYuv = AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_BITSTREAM |
                                     AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_FLOAT;
    return descriptor != nullptr && (descriptor->flags & notYuv) == 0 && descriptor->nb_components >= 3;
}

// Runs `context` over the whole picture into the DIB at `image`.
bool convertIntoDib(SwsContext* context, const std::uint8_t* const* planes, const int* strides,
                    int pictureHeight, int width, int height, std::uint8_t* image) {
    // A DIB keeps its bottom row first: swscale writes upwards from the last
    // row, so no second copy of the picture is needed.
    const std::uint32_t rowBytes = dibRowBytes(width);
    std::uint8_t* const destination[4] = {image + static_cast<std::size_t>(height - 1) * rowBytes, nullptr,
                                          nullptr, nullptr};
    const int destinationStrides[4] = {-static_cast<int>(rowBytes), 0, 0, 0};
    if (sws_scale(context, planes, strides, 0, pictureHeight, destination, destinationStrides) != height)
        return false;

    // The padding bytes at the end of each row are zero.
    const std::size_t pixelRowBytes = static_cast<std::size_t>(width) * 3;
    if (rowBytes == pixelRowBytes) return true;
    for (int row = 0; row < height; ++row) {
        std::memset(image + static_cast<std::size_t>(row) * rowBytes + pixelRowBytes, 0,
                    rowBytes - pixelRowBytes);
    }
    return true;
}

// Makes `frame` a picture of its own of this size and format, reusing it
// when it is one already.
bool fitFrame(AVFrame*& frame, int width, int height, AVPixelFormat format) {
    if (frame != nullptr && frame->width == width && frame->height == height && frame->format == format)
        return true;
    av_frame_free(&frame);
    frame = av_frame_alloc();
    if (frame == nullptr) return false;
    frame->width = width;
    frame->height = height;
    frame->format = format;
    if (av_frame_get_buffer(frame, 0) == 0) return true;
    av_frame_free(&frame);
    return false;
}

}  // namespace

FrameScaler::~FrameScaler() {
    sws_freeContext(exact_);
    sws_freeContext(shrink_);
    sws_freeContext(toBgr_);
    av_frame_free(&halved_);
    av_frame_free(&shrunk_);
    av_frame_free(&bgr_);
}

bool FrameScaler::scale(const Picture& picture, int width, int height, std::uint8_t* image) {
    if (conversion_ == Conversion::quick && isYuv(picture.format))
        return scaleInYuv(picture, width, height, image);
    return scaleExactly(picture, width, height, image);
}

bool FrameScaler::scaleExactly(const Picture& picture, int width, int height, std::uint8_t* image) {
    exact_ = sws_getCachedContext(exact_, picture.width, picture.height, picture.format, width, height,
                                  AV_PIX_FMT_BGR24, SWS_AREA | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr,
                                  nullptr, nullptr);
    return exact_ != nullptr &&
           convertIntoDib(exact_, picture.planes, picture.strides, picture.height, width, height, image);
}

bool FrameScaler::scaleInYuv(const Picture& picture, int width, int height, std::uint8_t* image) {
    Picture small = picture;
    if (picture.width != width || picture.height != height) {
        if (!shrinkInYuv(picture, width, height)) return false;
        small = {shrunk_->data, shrunk_->linesize, static_cast<AVPixelFormat>(shrunk_->format), width,
                 height};
    }
    toBgr_ = sws_getCachedContext(toBgr_, width, height, small.format, width, height, AV_PIX_FMT_BGR24,
                                  SWS_POINT, nullptr, nullptr, nullptr);
    if (toBgr_ == nullptr) return false;
    if (width % simdBlockPixels == 0)
        return convertIntoDib(toBgr_, small.planes, small.strides, height, width, height, image);
    return convertThroughPaddedPicture(small, width, height, image);
}

// The SIMD conversion writes whole blocks of pixels, past the end of a row
// whose width is not a whole number of blocks: such a picture goes to a
// padded picture of its own, copied into the DIB after.
bool FrameScaler::convertThroughPaddedPicture(const Picture& small, int width, int height,
                                              std::uint8_t* image) {
    if (!fitFrame(bgr_, width, height, AV_PIX_FMT_BGR24) ||
        sws_scale(toBgr_, small.planes, small.strides, 0, height, bgr_->data, bgr_->linesize) != height)
        return false;
    const std::uint32_t rowBytes = dibRowBytes(width);
    const std::size_t pixelRowBytes = static_cast<std::size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        std::uint8_t* dibRow = image + static_cast<std::size_t>(height - 1 - row) * rowBytes;
        std::memcpy(dibRow, bgr_->data[0] + static_cast<std::ptrdiff_t>(row) * bgr_->linesize[0],
                    pixelRowBytes);
        std::memset(dibRow + pixelRowBytes, 0, rowBytes - pixelRowBytes);
    }
    return true;
}

// Area-averages the picture into shrunk_, in its own format where swscale
// writes it, else in 4:2:0.
bool FrameScaler::shrinkInYuv(const Picture& picture, int width, int height) {
    const AVPixelFormat format =
        sws_isSupportedOutput(picture.format) > 0 ? picture.format : AV_PIX_FMT_YUV420P;
    if (!fitFrame(shrunk_, width, height, format)) return false;
    if (shrinkToHalf(picture, *shrunk_)) return true;
    const Picture source = halvedFirst(picture, width, height);
    shrink_ = sws_getCachedContext(shrink_, source.width, source.height, source.format, width, height, format,
                                   SWS_AREA, nullptr, nullptr, nullptr);
    return shrink_ != nullptr && sws_scale(shrink_, source.planes, source.strides, 0, source.height,
                                           shrunk_->data, shrunk_->linesize) == height;
}

// swscale's area filter costs far more per pixel read than a halving does:
// a picture at least twice the size each way (1920 x 1080 for 320 x 240) is
// halved first, leaving the filter a quarter of the pixels. The picture
// itself when it cannot be halved.
Picture FrameScaler::halvedFirst(const Picture& picture, int width, int height) {
    if (picture.width < 2 * width || picture.height < 2 * height) return picture;
    if (!fitFrame(halved_, picture.width / 2, picture.height / 2, picture.format) ||
        !shrinkToHalf(picture, *halved_))
        return picture;
    return {halved_->data, halved_->linesize, picture.format, halved_->width, halved_->height};
}

}  // namespace platform
