#include "platform/vfw/dib_file.h"

#include <array>
#include <cstring>

#include "platform/files/replace_file.h"

namespace platform {
namespace {

constexpr std::uint32_t fileHeaderBytes = 14;
constexpr std::uint32_t infoHeaderBytes = 40;

void putLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::array<std::uint8_t, fileHeaderBytes + infoHeaderBytes> bmpHeaders(const BITMAPINFOHEADER& header) {
    std::array<std::uint8_t, fileHeaderBytes + infoHeaderBytes> bytes{};
    bytes[0] = 'B';
    bytes[1] = 'M';
    putLittleEndian(&bytes[2], fileHeaderBytes + infoHeaderBytes + header.biSizeImage, 4);
    putLittleEndian(&bytes[10], fileHeaderBytes + infoHeaderBytes, 4);
    BITMAPINFOHEADER info = header;
    info.biSize = infoHeaderBytes;
    std::memcpy(bytes.data() + fileHeaderBytes, &info, infoHeaderBytes);
    return bytes;
}

}  // namespace

bool writeDibFile(const std::string& path, const BITMAPINFOHEADER& header, const std::uint8_t* pixels,
                  std::string& failure) {
    const auto headers = bmpHeaders(header);
    const std::vector<ByteChunk> chunks{ByteChunk(headers), ByteChunk(pixels, header.biSizeImage)};
    return replaceFile(path, chunks, Durability::synced, failure);
}

}  // namespace platform
