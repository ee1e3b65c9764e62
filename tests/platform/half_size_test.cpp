#include "platform/sources/half_size.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

struct Frame {
    AVFrame* frame = av_frame_alloc();
    Frame(int width, int height, AVPixelFormat format) {
        frame->width = width;
        frame->height = height;
        frame->format = format;
        av_frame_get_buffer(frame, 0);
    }
    ~Frame() { av_frame_free(&frame); }
    std::uint8_t& at(int plane, int x, int y) const {
        return frame->data[plane][y * frame->linesize[plane] + x];
    }
    platform::Picture picture() const {
        return {frame->data, frame->linesize, static_cast<AVPixelFormat>(frame->format), frame->width,
                frame->height};
    }
};

// 4:2:0 and 4:2:2 (a camera's MJPEG): every output pixel the rounded mean of
// its 2 x 2 block, in every plane.
TEST(HalfSize, EachPixelIsTheMeanOfItsBlockInEveryPlane) {
    for (const AVPixelFormat format : {AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUVJ422P}) {
        const int chromaDown = format == AV_PIX_FMT_YUV420P ? 2 : 1;
        const Frame big(24, 12, format);
        for (int plane = 0; plane < 3; ++plane) {
            for (int y = 0; y < (plane == 0 ? 12 : 12 / chromaDown); ++y)
                for (int x = 0; x < (plane == 0 ? 24 : 12); ++x)
                    big.at(plane, x, y) = static_cast<std::uint8_t>((x * 37 + y * 91 + plane * 5) % 256);
        }
        const Frame half(12, 6, format);
        ASSERT_TRUE(platform::shrinkToHalf(big.picture(), *half.frame));
        for (int plane = 0; plane < 3; ++plane) {
            for (int y = 0; y < (plane == 0 ? 6 : 6 / chromaDown); ++y) {
                for (int x = 0; x < (plane == 0 ? 12 : 6); ++x) {
                    const int sum = big.at(plane, 2 * x, 2 * y) + big.at(plane, 2 * x + 1, 2 * y) +
                                    big.at(plane, 2 * x, 2 * y + 1) + big.at(plane, 2 * x + 1, 2 * y + 1);
                    ASSERT_EQ(half.at(plane, x, y), (sum + 2) / 4)
                        << "plane " << plane << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(HalfSize, OtherSizesAndFormatsAreLeftToTheGeneralFilter) {
    const Frame big(64, 48, AV_PIX_FMT_YUV420P);
    EXPECT_FALSE(platform::shrinkToHalf(big.picture(), *Frame(21, 30, AV_PIX_FMT_YUV420P).frame));
    EXPECT_FALSE(platform::shrinkToHalf(big.picture(), *Frame(16, 12, AV_PIX_FMT_YUV420P).frame));
    EXPECT_FALSE(platform::shrinkToHalf(Frame(64, 48, AV_PIX_FMT_RGB24).picture(),
                                        *Frame(32, 24, AV_PIX_FMT_RGB24).frame));
    EXPECT_FALSE(platform::shrinkToHalf(Frame(64, 48, AV_PIX_FMT_YUV420P10LE).picture(),
                                        *Frame(32, 24, AV_PIX_FMT_YUV420P10LE).frame));
}

}  // namespace
