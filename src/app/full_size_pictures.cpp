#include "app/full_size_pictures.h"

#include <vector>

#include "platform/files/jpeg_encoder.h"
#include "platform/files/replace_file.h"

namespace app {

std::string fullSizeName(const std::string& pictureName) {
    const std::string suffix = ".bmp";
    const bool bmp = pictureName.size() >= suffix.size() &&
                     pictureName.compare(pictureName.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (bmp ? pictureName.substr(0, pictureName.size() - suffix.size()) : pictureName) + ".jpg";
}

bool writeFullSizePicture(const platform::FullSizeFrame* frame, const std::string& name,
                          std::string& failure) {
    if (frame == nullptr) {
        failure = name + ": the source keeps no full-size frame";
        return false;
    }
    std::vector<std::uint8_t> storage;
    platform::PixelRows rows{};
    if (!frame->rows(storage, rows, failure)) {
        failure = name + ": " + failure;
        return false;
    }
    const std::vector<std::uint8_t> jpeg = platform::encodeJpeg(rows, fullSizeQuality, failure);
    if (jpeg.empty()) {
        failure = name + ": " + failure;
        return false;
    }
    return platform::replaceFile(name, {platform::ByteChunk(jpeg)}, platform::Durability::synced, failure);
}

}  // namespace app
