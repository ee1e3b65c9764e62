#include "app/contact_sheet/caption_text.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "platform/winsys/font_cache.h"

namespace app {
namespace {

constexpr int captionPixelHeight = 10;

void drawGlyph(platform::Canvas& canvas, const platform::Glyph& glyph, int penX, int baseline, int right,
               platform::Rgb colour) {
    const int left = penX + glyph.left;
    const int top = baseline - glyph.top;
    for (int row = std::max(0, -top); row < glyph.rows && top + row < canvas.height(); ++row) {
        for (int column = std::max(0, -left); column < glyph.width && left + column < right; ++column) {
            const std::uint8_t coverage =
                glyph.coverage[static_cast<std::size_t>(row) * glyph.width + column];
            if (coverage != 0) canvas.blend(left + column, top + row, colour, coverage);
        }
    }
}

// "0:14.3", "1:02:03.4": the position cut to the tenth of a second.
std::string positionText(const std::string& seconds) {
    const std::size_t point = seconds.find('.');
    const long long whole = std::stoll(seconds.substr(0, point));
    const int tenth = point + 1 < seconds.size() ? seconds[point + 1] - '0' : 0;
    const long long minutes = whole / 60;
    char text[48];
    if (minutes >= 60)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%d", minutes / 60, minutes % 60, whole % 60,
                      tenth);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld.%d", minutes, whole % 60, tenth);
    return text;
}

}  // namespace

std::string captionFor(const TriggerPicture& picture) {
    // A replay's pictures were all taken within minutes: where in the recording tells them apart.
    if (!picture.loggedPosition.empty())
        return "tavo_" + std::to_string(picture.number) + "  " + positionText(picture.loggedPosition);
    // The log's time as the camera's machine wrote it: date, then time to the second.
    if (!picture.loggedTime.empty())
        return "tavo_" + std::to_string(picture.number) + "  " + picture.loggedTime.substr(0, 10) + " " +
               picture.loggedTime.substr(11, 8);
    std::tm local{};
    localtime_r(&picture.modified.tv_sec, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    return "tavo_" + std::to_string(picture.number) + "  " + when;
}

bool drawCaption(platform::Canvas& canvas, const std::string& text, int left, int top, int right,
                 platform::Rgb colour) {
    platform::FontInstance* font = platform::findFont("Courier", captionPixelHeight);
    if (font == nullptr) return false;
    right = std::min(right, canvas.width());
    int penX = left;
    for (const char c : text) {
        if (penX >= right) break;
        const platform::Glyph& glyph = font->glyph(static_cast<unsigned char>(c));
        drawGlyph(canvas, glyph, penX, top + font->baseline(), right, colour);
        penX += glyph.advance;
    }
    return true;
}

}  // namespace app
