#include "platform/sources/decode_choice.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace platform {
namespace {

constexpr int minimumShrink = 2;

bool shrunkEnough(PictureSize coded, PictureSize shown) {
    return shown.width > 0 && shown.height > 0 && coded.width >= minimumShrink * shown.width &&
           coded.height >= minimumShrink * shown.height;
}

bool isIntraOnly(AVCodecID codec) {
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
    return descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_INTRA_ONLY) != 0;
}

// The most reduced decode whose pictures still cover `shown`.
int lowresFor(const AVCodec& decoder, PictureSize coded, PictureSize shown) {
    if (!isIntraOnly(decoder.id)) return 0;
    int lowres = 0;
    while (lowres < decoder.max_lowres && (coded.width >> (lowres + 1)) >= shown.width &&
           (coded.height >> (lowres + 1)) >= shown.height)
        ++lowres;
    return lowres;
}

}  // namespace

DecodeChoice chooseDecoding(const AVCodec& decoder, PictureSize coded, PictureSize shown) {
    DecodeChoice choice;
    if (!shrunkEnough(coded, shown)) return choice;
    choice.lowres = lowresFor(decoder, coded, shown);
    choice.skipBidirectionalLoopFilter = decoder.id == AV_CODEC_ID_H264 || decoder.id == AV_CODEC_ID_HEVC;
    return choice;
}

std::string decodingText(const AVCodec& decoder, PictureSize coded, PictureSize shown,
                         const DecodeChoice& choice) {
    std::string text = std::string("decoding ") + decoder.name + " " + std::to_string(coded.width) + " x " +
                       std::to_string(coded.height);
    if (choice.lowres > 0) text += " at 1/" + std::to_string(1 << choice.lowres) + " size";
    text += " for " + std::to_string(shown.width) + " x " + std::to_string(shown.height);
    if (choice.skipBidirectionalLoopFilter) text += ", no loop filter on B-frames";
    return text + " (--full-decode: in full)";
}

}  // namespace platform
