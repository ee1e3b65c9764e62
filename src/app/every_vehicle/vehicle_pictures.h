#pragma once
// Pictures of the every-vehicle mode: a kept frame written as the next
// numbered picture, named, numbered and written like every other picture.
#include <cstdint>
#include <string>

#include "app/every_vehicle/kept_frames.h"

namespace app {

// The picture's file name once written; empty when it could not be.
std::string saveVehiclePicture(const KeptFrame& frame, std::int32_t coverPercent);

}  // namespace app
