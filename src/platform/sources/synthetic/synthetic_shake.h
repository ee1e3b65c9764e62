#pragma once
// The camera's pole in the wind, when the scene asks for it: the whole
// picture moves by a fraction of a pixel in calm spells (sway and a slow
// drift) and by several pixels from one frame to the next in gusts that last
// seconds. The offset is a smooth function of time alone.
#include <cstdint>

namespace platform::synthetic {

// How far the picture content has moved, in pixels of the 640 x 480
// picture: a point of the unshaken picture is seen at (x + dx, y + dy).
struct ShakeOffset {
    double dx;
    double dy;
};

ShakeOffset shakeOffset(std::uint64_t seed, double seconds);

// Draws `still` (pictureBytes) moved by `offset` into `shaken`, resampled
// bilinearly; what comes in at the edges is the picture mirrored there.
void shakePicture(const std::uint8_t* still, ShakeOffset offset, std::uint8_t* shaken);

}  // namespace platform::synthetic
