// Any format header handed to the BMP writer, with the pixel bytes it
// names: a whole file or a clean failure, never a stray one.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/vfw/dib_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool prepared = [] {
        char directory[] = "/tmp/tavo-fuzz-dib-XXXXXX";
        return mkdtemp(directory) != nullptr && chdir(directory) == 0;
    }();
    if (!prepared || size < sizeof(platform::BITMAPINFOHEADER)) return 0;
    platform::BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    header.biSizeImage = std::min<platform::DWORD>(header.biSizeImage, 1 << 20);
    std::vector<std::uint8_t> pixels(header.biSizeImage);
    // An empty vector's data() may be null, which memcpy must not get even for no bytes.
    if (!pixels.empty()) {
        std::memcpy(pixels.data(), data + sizeof header, std::min(pixels.size(), size - sizeof header));
    }
    std::string failure;
    const std::string name = (size % 3 == 0) ? "missing/picture.bmp" : "picture.bmp";
    if (platform::writeDibFile(name, header, pixels.data(), failure) && name == "picture.bmp") {
        if (access(name.c_str(), F_OK) != 0) std::abort();
    }
    return 0;
}
