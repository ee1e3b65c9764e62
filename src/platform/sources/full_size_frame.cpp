#include "platform/sources/full_size_frame.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {

FullSizeFrame::FullSizeFrame(const AVFrame* frame) : frame_(av_frame_clone(frame)) {}

FullSizeFrame::~FullSizeFrame() { av_frame_free(&frame_); }

int FullSizeFrame::chromaStep() const {
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame_->format));
    return format == nullptr ? 1 : 1 << format->log2_chroma_w;
}

bool FullSizeFrame::rows(std::vector<std::uint8_t>& storage, PixelRows& rows, std::string& failure) const {
    if (frame_ == nullptr || frame_->data[0] == nullptr) {
        failure = "no full-size frame was kept";
        return false;
    }
    const int width = frame_->width;
    const int height = frame_->height;
    // Same size, so the filter only matters for chroma; bit-exact like the driver's pictures.
    SwsContext* context = sws_getContext(
        width, height, static_cast<AVPixelFormat>(frame_->format), width, height, AV_PIX_FMT_RGB24,
        SWS_POINT | SWS_ACCURATE_RND | SWS_BITEXACT, nullptr, nullptr, nullptr);
    if (context == nullptr) {
        failure = "its pixel format cannot be converted";
        return false;
    }
    const int stride = width * 3;
    storage.resize(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    std::uint8_t* const planes[4] = {storage.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {stride, 0, 0, 0};
    const int converted = sws_scale(context, frame_->data, frame_->linesize, 0, height, planes, strides);
    sws_freeContext(context);
    if (converted != height) {
        failure = "the full-size frame could not be converted";
        return false;
    }
    rows = PixelRows{storage.data(), width, height, stride, false};
    return true;
}

}  // namespace platform
