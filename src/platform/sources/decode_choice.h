#pragma once
// How much of each picture a decoder works out: everything, or only what a
// picture shrunk at least 2 x in each direction can still show. Both cheap
// ways give the same pictures on every run.
//
// - H.264 and HEVC leave out the deblocking loop filter on B-frames. No other
//   frame predicts from a B-frame, so what is left out never spreads past
//   its group of pictures; on every frame it would (about 2.5 grey levels
//   at 320 x 240 after 10 s of a 1080p recording).
// - Intra-only codecs whose decoder can (MJPEG) decode at a half, a quarter
//   or an eighth of the size, as long as that still fills the picture asked
//   for. Predicted codecs are left in full: their reduced decode drifts
//   from one frame to the next.
#include <string>

struct AVCodec;

namespace platform {

struct PictureSize {
    int width = 0;
    int height = 0;
};

struct DecodeChoice {
    int lowres = 0;  // pictures come out at 1/2^lowres of the coded size
    bool skipBidirectionalLoopFilter = false;

    bool cheap() const { return lowres > 0 || skipBidirectionalLoopFilter; }
};

// What `decoder` needs to do for pictures `coded` large that are only seen
// shrunk to `shown`.
DecodeChoice chooseDecoding(const AVCodec& decoder, PictureSize coded, PictureSize shown);

// One line saying what was chosen, e.g. "decoding mjpeg 1280 x 720 at 1/2
// size for 320 x 240 (--full-decode: in full)".
std::string decodingText(const AVCodec& decoder, PictureSize coded, PictureSize shown,
                         const DecodeChoice& choice);

}  // namespace platform
