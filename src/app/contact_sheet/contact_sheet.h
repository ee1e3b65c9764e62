#pragma once
// `tavomotion --contact-sheet DIR OUT.png` (or OUT.jpg): the trigger pictures
// of DIR as thumbnails on one picture, oldest first, each captioned with its number and
// modification time, for checking a night's work at a glance.
#include <string>

namespace app {

constexpr int contactSheetCap = 400;

// The exit status: 0 when the sheet was written, 1 when there was nothing to
// show or it could not be written (said on standard error).
int writeContactSheet(const std::string& directory, const std::string& output);

}  // namespace app
