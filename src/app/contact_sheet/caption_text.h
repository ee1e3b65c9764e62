#pragma once
// The line under a thumbnail: the picture's name and when it was written.
#include <string>

#include "app/contact_sheet/picture_listing.h"
#include "platform/winsys/canvas.h"

namespace app {

// "tavo_12  2026-12-08 17:05:03": the picture log's time when it has the
// picture, otherwise the file's, in local time.
std::string captionFor(const TriggerPicture& picture);

// One line of text with its top-left at (left, top), cut at `right`; drawn
// with the window system's Courier. False when no font is to be had.
bool drawCaption(platform::Canvas& canvas, const std::string& text, int left, int top, int right,
                 platform::Rgb colour);

}  // namespace app
