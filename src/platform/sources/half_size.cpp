#include "platform/sources/half_size.h"

#include <cstdint>
#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

namespace platform {
namespace {

bool isPlanarYuv8(const AVPixFmtDescriptor* descriptor) {
    if (descriptor == nullptr || descriptor->nb_components != 3) return false;
    if ((descriptor->flags & (AV_PIX_FMT_FLAG_PLANAR | AV_PIX_FMT_FLAG_RGB)) != AV_PIX_FMT_FLAG_PLANAR)
        return false;
    for (int component = 0; component < 3; ++component) {
        const AVComponentDescriptor& c = descriptor->comp[component];
        if (c.plane != component || c.depth != 8 || c.step != 1 || c.shift != 0) return false;
    }
    return true;
}

int planeWidth(const AVPixFmtDescriptor* descriptor, int plane, int width) {
    return plane == 0 ? width : -((-width) >> descriptor->log2_chroma_w);
}

int planeHeight(const AVPixFmtDescriptor* descriptor, int plane, int height) {
    return plane == 0 ? height : -((-height) >> descriptor->log2_chroma_h);
}

// One output row from two input rows. Each pair of pixels is read as one
// 16-bit word and its two bytes added (in either byte order): the vectoriser
// then needs no shuffles.
void halveRows(const std::uint8_t* __restrict upper, const std::uint8_t* __restrict lower,
               std::uint8_t* __restrict output, int width) {
    for (int x = 0; x < width; ++x) {
        std::uint16_t above = 0;
        std::uint16_t below = 0;
        std::memcpy(&above, upper + 2 * x, 2);
        std::memcpy(&below, lower + 2 * x, 2);
        output[x] = static_cast<std::uint8_t>(
            ((above & 0xFFu) + (above >> 8) + (below & 0xFFu) + (below >> 8) + 2u) >> 2);
    }
}

}  // namespace

bool shrinkToHalf(const Picture& picture, AVFrame& half) {
    const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(picture.format);
    if (half.format != picture.format || !isPlanarYuv8(descriptor)) return false;
    for (int plane = 0; plane < 3; ++plane) {
        if (planeWidth(descriptor, plane, picture.width) != 2 * planeWidth(descriptor, plane, half.width) ||
            planeHeight(descriptor, plane, picture.height) != 2 * planeHeight(descriptor, plane, half.height))
            return false;
    }
    for (int plane = 0; plane < 3; ++plane) {
        const int width = planeWidth(descriptor, plane, half.width);
        const std::ptrdiff_t stride = picture.strides[plane];
        for (int y = 0; y < planeHeight(descriptor, plane, half.height); ++y) {
            const std::uint8_t* upper = picture.planes[plane] + 2 * y * stride;
            halveRows(upper, upper + stride,
                      half.data[plane] + static_cast<std::ptrdiff_t>(y) * half.linesize[plane], width);
        }
    }
    return true;
}

}  // namespace platform
