#pragma once
// Pictures of the every-vehicle mode: a kept frame written as the next
// numbered picture, named, numbered and written like every other picture.
#include <cstdint>

#include "app/kept_frames.h"

namespace app {

void saveVehiclePicture(const KeptFrame& frame, std::int32_t coverPercent);

}  // namespace app
