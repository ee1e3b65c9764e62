#include "app/contact_sheet/sheet_file.h"

#include <algorithm>
#include <cctype>

#include "platform/files/jpeg_encoder.h"
#include "platform/files/replace_file.h"
#include "platform/winsys/png_snapshot.h"

namespace app {
namespace {

// Small print in the captions stays legible.
constexpr int sheetJpegQuality = 90;

bool endsWith(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) return false;
    return std::equal(ending.rbegin(), ending.rend(), text.rbegin(), [](char wanted, char found) {
        return wanted == std::tolower(static_cast<unsigned char>(found));
    });
}

}  // namespace

std::optional<SheetFormat> sheetFormatOf(const std::string& path) {
    if (endsWith(path, ".png")) return SheetFormat::png;
    if (endsWith(path, ".jpg") || endsWith(path, ".jpeg")) return SheetFormat::jpeg;
    return std::nullopt;
}

bool writeSheetFile(const platform::Canvas& sheet, const std::string& path, std::string& failure) {
    if (sheetFormatOf(path) != SheetFormat::jpeg) return platform::writeCanvasPng(sheet, path, failure);
    const platform::PixelRows rows{sheet.row(0), sheet.width(), sheet.height(),
                                   static_cast<long>(sheet.width()) * 3, false};
    const std::vector<std::uint8_t> bytes = platform::encodeJpeg(rows, sheetJpegQuality, failure);
    if (bytes.empty()) return false;
    return platform::replaceFile(path, {platform::ByteChunk(bytes)}, platform::Durability::renamed, failure);
}

}  // namespace app
