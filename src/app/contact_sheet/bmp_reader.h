#pragma once
// Reads back a picture as the program writes it: a BMP with a 40-byte (or
// longer) info header, 24 bits per pixel, uncompressed, bottom row first.
#include <optional>
#include <string>

#include "platform/winsys/canvas.h"

namespace app {

// Nothing, with the reason in `failure`, for any other file.
std::optional<platform::Canvas> readTriggerBmp(const std::string& path, std::string& failure);

}  // namespace app
