// Which decoding a source's pictures get, from the codec and the sizes: only
// what a picture shrunk to 320 x 240 can show, and nothing that drifts.
#include "platform/sources/decode_choice.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace {

using platform::chooseDecoding;
using platform::DecodeChoice;
using platform::PictureSize;

constexpr PictureSize driverSize{320, 240};

DecodeChoice choiceFor(AVCodecID codec, PictureSize coded) {
    const AVCodec* decoder = avcodec_find_decoder(codec);
    EXPECT_NE(decoder, nullptr);
    return decoder != nullptr ? chooseDecoding(*decoder, coded, driverSize) : DecodeChoice{};
}

TEST(DecodeChoice, H264AndHevcLeaveOutTheLoopFilterOfBFramesOnlyWhenShrunkTwiceEachWay) {
    for (const AVCodecID codec : {AV_CODEC_ID_H264, AV_CODEC_ID_HEVC}) {
        for (const PictureSize coded :
             {PictureSize{1920, 1080}, PictureSize{640, 480}, PictureSize{1280, 720}}) {
            const DecodeChoice choice = choiceFor(codec, coded);
            EXPECT_TRUE(choice.skipBidirectionalLoopFilter) << coded.width << " x " << coded.height;
            EXPECT_EQ(choice.lowres, 0) << "predicted pictures are never decoded smaller";
        }
        // 640 x 360 is shrunk only 1.5 x in height; 320 x 240 not at all.
        for (const PictureSize coded : {PictureSize{640, 360}, PictureSize{639, 480}, PictureSize{320, 240}})
            EXPECT_FALSE(choiceFor(codec, coded).cheap()) << coded.width << " x " << coded.height;
    }
}

TEST(DecodeChoice, MjpegDecodesAsSmallAsStillCoversThePicture) {
    EXPECT_EQ(choiceFor(AV_CODEC_ID_MJPEG, {640, 480}).lowres, 1);
    EXPECT_EQ(choiceFor(AV_CODEC_ID_MJPEG, {1280, 720}).lowres, 1) << "a quarter would be 180 rows";
    EXPECT_EQ(choiceFor(AV_CODEC_ID_MJPEG, {1920, 1080}).lowres, 2);
    EXPECT_EQ(choiceFor(AV_CODEC_ID_MJPEG, {2560, 1920}).lowres, 3);
    EXPECT_EQ(choiceFor(AV_CODEC_ID_MJPEG, {5120, 3840}).lowres, 3) << "the decoder goes no further";
    EXPECT_FALSE(choiceFor(AV_CODEC_ID_MJPEG, {640, 479}).cheap());
    EXPECT_FALSE(choiceFor(AV_CODEC_ID_MJPEG, {320, 240}).cheap());
    EXPECT_FALSE(choiceFor(AV_CODEC_ID_MJPEG, {1920, 1080}).skipBidirectionalLoopFilter);
}

TEST(DecodeChoice, CodecsWhoseReducedDecodeDriftsOrThatCannotDoLessDecodeInFull) {
    // MPEG-4 part 2's decoder can decode at half size, but its predicted
    // pictures then drift from the full decode's frame after frame.
    for (const AVCodecID codec : {AV_CODEC_ID_MPEG4, AV_CODEC_ID_MSMPEG4V3, AV_CODEC_ID_MPEG2VIDEO,
                                  AV_CODEC_ID_RAWVIDEO, AV_CODEC_ID_VP9, AV_CODEC_ID_FFV1}) {
        EXPECT_FALSE(choiceFor(codec, {1920, 1080}).cheap()) << avcodec_get_name(codec);
    }
}

TEST(DecodeChoice, TheLineSaysWhatIsLeftOutAndHowToTurnItOff) {
    const AVCodec* mjpeg = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    const AVCodec* h264 = avcodec_find_decoder(AV_CODEC_ID_H264);
    ASSERT_NE(mjpeg, nullptr);
    ASSERT_NE(h264, nullptr);
    EXPECT_EQ(platform::decodingText(*mjpeg, {1920, 1080}, driverSize,
                                     chooseDecoding(*mjpeg, {1920, 1080}, driverSize)),
              "decoding mjpeg 1920 x 1080 at 1/4 size for 320 x 240 (--full-decode: in full)");
    EXPECT_EQ(platform::decodingText(*h264, {1280, 720}, driverSize,
                                     chooseDecoding(*h264, {1280, 720}, driverSize)),
              "decoding h264 1280 x 720 for 320 x 240, no loop filter on B-frames (--full-decode: in full)");
}

}  // namespace
