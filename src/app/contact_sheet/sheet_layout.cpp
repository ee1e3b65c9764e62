#include "app/contact_sheet/sheet_layout.h"

#include <algorithm>

#include "app/contact_sheet/caption_text.h"

namespace app {
namespace {

constexpr int cellWidth = 176;
constexpr int captionHeight = 14;
constexpr int cellHeight = thumbnailHeight + captionHeight;
constexpr int gap = 8;
constexpr int cellsPerRow = 10;
constexpr platform::Rgb ground{40, 40, 40};
constexpr platform::Rgb captionColour{235, 235, 235};

void place(platform::Canvas& sheet, const platform::Canvas& thumbnail, int left, int top) {
    for (int y = 0; y < thumbnail.height(); ++y) {
        for (int x = 0; x < thumbnail.width(); ++x) sheet.set(left + x, top + y, thumbnail.pixel(x, y));
    }
}

}  // namespace

platform::Canvas laidOutSheet(const std::vector<SheetEntry>& entries, bool& captioned) {
    const int count = static_cast<int>(entries.size());
    const int columns = std::min(count, cellsPerRow);
    const int rows = (count + cellsPerRow - 1) / cellsPerRow;
    platform::Canvas sheet(gap + columns * (cellWidth + gap), gap + rows * (cellHeight + gap), ground);
    captioned = true;
    for (int i = 0; i < count; ++i) {
        const SheetEntry& entry = entries[static_cast<std::size_t>(i)];
        const int left = gap + (i % cellsPerRow) * (cellWidth + gap);
        const int top = gap + (i / cellsPerRow) * (cellHeight + gap);
        place(sheet, entry.thumbnail, left + (cellWidth - entry.thumbnail.width()) / 2,
              top + (thumbnailHeight - entry.thumbnail.height()) / 2);
        captioned = drawCaption(sheet, entry.caption, left, top + thumbnailHeight + 2, left + cellWidth,
                                captionColour) &&
                    captioned;
    }
    return sheet;
}

}  // namespace app
