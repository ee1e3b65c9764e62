#include "app/contact_sheet/thumbnail.h"

#include <algorithm>
#include <cstdint>

namespace app {
namespace {

struct Span {
    int from;
    int to;  // past the end, at least from + 1
};

Span covered(int index, int source, int target) {
    const int from = static_cast<int>(static_cast<std::int64_t>(index) * source / target);
    const int to = static_cast<int>(static_cast<std::int64_t>(index + 1) * source / target);
    return {from, std::max(to, from + 1)};
}

platform::Rgb meanOver(const platform::Canvas& picture, Span columns, Span rows) {
    std::uint64_t red = 0, green = 0, blue = 0;
    for (int y = rows.from; y < rows.to; ++y) {
        for (int x = columns.from; x < columns.to; ++x) {
            const platform::Rgb pixel = picture.pixel(x, y);
            red += pixel.red;
            green += pixel.green;
            blue += pixel.blue;
        }
    }
    const std::uint64_t count = static_cast<std::uint64_t>(columns.to - columns.from) * (rows.to - rows.from);
    return {static_cast<std::uint8_t>((red + count / 2) / count),
            static_cast<std::uint8_t>((green + count / 2) / count),
            static_cast<std::uint8_t>((blue + count / 2) / count)};
}

}  // namespace

platform::Canvas thumbnailOf(const platform::Canvas& picture, int boxWidth, int boxHeight) {
    // The larger scale that still fits both sides.
    int width = boxWidth;
    int height = static_cast<int>(static_cast<std::int64_t>(picture.height()) * boxWidth / picture.width());
    if (height > boxHeight) {
        height = boxHeight;
        width = static_cast<int>(static_cast<std::int64_t>(picture.width()) * boxHeight / picture.height());
    }
    platform::Canvas thumbnail(std::max(width, 1), std::max(height, 1), platform::black);
    for (int y = 0; y < thumbnail.height(); ++y) {
        const Span rows = covered(y, picture.height(), thumbnail.height());
        for (int x = 0; x < thumbnail.width(); ++x) {
            thumbnail.set(x, y, meanOver(picture, covered(x, picture.width(), thumbnail.width()), rows));
        }
    }
    return thumbnail;
}

}  // namespace app
