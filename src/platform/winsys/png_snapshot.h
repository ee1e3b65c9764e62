#pragma once
// The canvas of a window, or any canvas, saved as a PNG picture.
#include <string>

#include "platform/winsys/canvas.h"
#include "platform/winsys/win32_types.h"

namespace platform {

// Writes an 8-bit RGB PNG under a temporary name beside path and renames it
// into place, so path never holds a half-written picture. On failure
// returns false with the reason in failure.
bool writeWindowPng(HWND window, const std::string& path, std::string& failure);

// The same for a canvas drawn without a window.
bool writeCanvasPng(const Canvas& canvas, const std::string& path, std::string& failure);

}  // namespace platform
