#include "app/contact_sheet/bmp_reader.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace app {
namespace {

constexpr std::int64_t largestSide = 4096;
constexpr std::size_t headersBytes = 14 + 40;
// The largest picture with its headers, and room for a longer info header.
constexpr std::uintmax_t largestFileBytes = largestSide * largestSide * 3 + largestSide * 3 + 4096;

std::int64_t littleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    return static_cast<std::int64_t>(value);
}

std::int64_t signed32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(littleEndian(bytes, at, 4)));
}

struct Layout {
    std::int64_t width;
    std::int64_t height;
    std::int64_t pixelsAt;
    std::int64_t rowBytes;
};

// The reason the bytes are not such a picture; empty when they are.
std::string checkLayout(const std::vector<std::uint8_t>& bytes, Layout& layout) {
    if (bytes.size() < headersBytes || bytes[0] != 'B' || bytes[1] != 'M') return "not a BMP file";
    if (littleEndian(bytes, 14, 4) < 40) return "not a Windows BMP info header";
    layout = {signed32(bytes, 18), signed32(bytes, 22), littleEndian(bytes, 10, 4), 0};
    if (littleEndian(bytes, 28, 2) != 24 || littleEndian(bytes, 30, 4) != 0) {
        return "not 24 bits per pixel uncompressed";
    }
    if (layout.height <= 0) return "not stored bottom row first";
    if (layout.width <= 0 || layout.width > largestSide || layout.height > largestSide) return "unusual size";
    layout.rowBytes = (layout.width * 3 + 3) / 4 * 4;
    if (layout.pixelsAt < static_cast<std::int64_t>(headersBytes) ||
        layout.pixelsAt + layout.rowBytes * layout.height > static_cast<std::int64_t>(bytes.size())) {
        return "pixels missing or cut short";
    }
    return "";
}

platform::Canvas pixelsOf(const std::vector<std::uint8_t>& bytes, const Layout& layout) {
    const int width = static_cast<int>(layout.width);
    const int height = static_cast<int>(layout.height);
    platform::Canvas picture(width, height, platform::black);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row =
            &bytes[static_cast<std::size_t>(layout.pixelsAt + layout.rowBytes * (height - 1 - y))];
        for (int x = 0; x < width; ++x) picture.set(x, y, {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
    }
    return picture;
}

}  // namespace

std::optional<platform::Canvas> readTriggerBmp(const std::string& path, std::string& failure) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!error && size > largestFileBytes) {
        failure = "unusual size";
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    if (error || !file) {
        failure = "cannot be read";
        return std::nullopt;
    }
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    Layout layout{};
    failure = checkLayout(bytes, layout);
    if (!failure.empty()) return std::nullopt;
    return pixelsOf(bytes, layout);
}

}  // namespace app
