// Any file named like a picture, read for the contact sheet: a picture of
// the size its header states, or a refusal with its reason; never a read
// outside the file's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/contact_sheet/bmp_reader.h"

namespace {

std::int32_t headerField(const std::uint8_t* data, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(data[at]) | data[at + 1] << 8 |
                                     data[at + 2] << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = [] {
        char directory[] = "/tmp/tavo-fuzz-bmp-XXXXXX";
        if (mkdtemp(directory) == nullptr) std::abort();
        return std::string(directory) + "/tavo_0.bmp";
    }();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) std::abort();
    std::string failure;
    const auto picture = app::readTriggerBmp(path, failure);
    if (!picture) {
        if (failure.empty()) std::abort();
        return 0;
    }
    if (size < 26 || picture->width() != headerField(data, 18) || picture->height() != headerField(data, 22))
        std::abort();
    return 0;
}
