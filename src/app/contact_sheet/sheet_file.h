#pragma once
// The contact sheet's file: PNG or JPEG, as the name's ending asks.
#include <optional>
#include <string>

#include "platform/winsys/canvas.h"

namespace app {

enum class SheetFormat { png, jpeg };

// The format an output name asks for: .png, or .jpg / .jpeg (any letter
// case); nothing for any other name.
std::optional<SheetFormat> sheetFormatOf(const std::string& path);

// Writes the sheet whole or not at all; false with the reason otherwise.
bool writeSheetFile(const platform::Canvas& sheet, const std::string& path, std::string& failure);

}  // namespace app
