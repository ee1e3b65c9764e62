#pragma once
// The grid of a contact sheet: cells of 176 x 134 pixels 8 apart, ten to a
// row, on a dark ground; in each, a thumbnail of at most 160 x 120 centred in
// the top 176 x 120 and its caption in the 14 rows below.
#include <string>
#include <vector>

#include "platform/winsys/canvas.h"

namespace app {

constexpr int thumbnailWidth = 160;
constexpr int thumbnailHeight = 120;

struct SheetEntry {
    platform::Canvas thumbnail;
    std::string caption;
};

// In reading order; false in `captioned` when no font could be found.
platform::Canvas laidOutSheet(const std::vector<SheetEntry>& entries, bool& captioned);

}  // namespace app
