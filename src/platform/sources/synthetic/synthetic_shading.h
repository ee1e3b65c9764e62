#pragma once
// What happens to the light between the drawn scene and the picture: cloud
// shadows darken parts of it, and the camera's gain scales all of it, when
// the options ask for them.
#include <cstdint>

#include "platform/sources/synthetic/synthetic_options.h"

namespace platform::synthetic {

// Scales `picture` (pictureBytes) as the light at `seconds` demands, clipping
// at 255; leaves it untouched when neither clouds nor exposure are asked for.
void shadeAndExpose(const SceneOptions& options, double seconds, std::uint8_t* picture);

}  // namespace platform::synthetic
