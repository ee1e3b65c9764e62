#pragma once
// A frame at the source's own size (after its filter), held by reference
// until it is saved: keeping one costs no conversion, only saving it does.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/jpeg_encoder.h"

struct AVFrame;

namespace platform {

class FullSizeFrame {
public:
    // Takes a new reference to `frame`'s pictures.
    explicit FullSizeFrame(const AVFrame* frame);
    FullSizeFrame(const FullSizeFrame&) = delete;
    FullSizeFrame& operator=(const FullSizeFrame&) = delete;
    ~FullSizeFrame();

    // The frame as RGB rows, top first, converted into `storage`; false with
    // the reason in `failure` when it cannot be converted.
    bool rows(std::vector<std::uint8_t>& storage, PixelRows& rows, std::string& failure) const;

    // How many pixels across share one chroma sample: 2 for 4:2:0 video, 1 for RGB.
    int chromaStep() const;

private:
    AVFrame* frame_;
};

}  // namespace platform
