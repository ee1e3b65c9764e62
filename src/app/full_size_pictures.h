#pragma once
// tavo_N.jpg beside tavo_N.bmp: the same frame at the source's own size.
#include <string>

#include "platform/sources/full_size_frame.h"

namespace app {

constexpr int fullSizeQuality = 92;

// tavo_N.bmp -> tavo_N.jpg
std::string fullSizeName(const std::string& pictureName);

// Writes `frame` as a JPEG under `name`, whole or not at all, flushed to the
// disk before it is renamed into place. False with the reason in `failure`.
bool writeFullSizePicture(const platform::FullSizeFrame* frame, const std::string& name,
                          std::string& failure);

}  // namespace app
