#pragma once
// Copies of grabbed frames that a picture may still be taken of: the
// every-vehicle mode knows the best moment to picture a vehicle only a little
// after it has passed.
#include <cstdint>
#include <vector>

#include "app/picture_record.h"
#include "pipeline/frame_image.h"

namespace app {

struct KeptFrame {
    std::int64_t number = -1;  // -1: the slot is free
    double seconds = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t headerBytes = 0;
    std::vector<std::uint8_t> dib;  // the header, then the rows
    FrameExtras extras;

    // The copy as a frame image that draws like the live one.
    pipeline::FrameImage image() const;
};

class KeptFrames {
public:
    // More than this are never needed at once; past it the oldest goes.
    static constexpr std::size_t capacity = 40;

    void keep(std::int64_t number, double seconds, const pipeline::FrameImage& frame,
              FrameExtras extras = {});
    const KeptFrame* find(std::int64_t number) const;
    void dropBefore(std::int64_t number);

private:
    KeptFrame& freeSlot();

    std::vector<KeptFrame> slots_;
};

}  // namespace app
