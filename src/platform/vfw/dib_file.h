#pragma once
// A device-independent bitmap written as a standard BMP file: the 14-byte
// file header, the 40-byte info header, then the pixel rows as the DIB holds
// them. Written under a temporary name and renamed into place, so a final
// name never carries half a picture.
#include <cstdint>
#include <string>

#include "platform/winsys/win32_types.h"

namespace platform {

// `pixels` holds header.biSizeImage bytes.
bool writeDibFile(const std::string& path, const BITMAPINFOHEADER& header, const std::uint8_t* pixels,
                  std::string& failure);

}  // namespace platform
