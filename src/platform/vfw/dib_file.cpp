#include "platform/vfw/dib_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

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

// Beside the final file, so the rename stays on one file system; never of
// the form tavo_N.bmp.
std::string temporaryNameFor(const std::string& path) {
    static unsigned serial = 0;
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    return directory + ".tavo-save-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + ".part";
}

bool writeAll(int descriptor, const std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(descriptor, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool writeDibFile(const std::string& path, const BITMAPINFOHEADER& header, const std::uint8_t* pixels,
                  std::string& failure) {
    const std::string temporary = temporaryNameFor(path);
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        failure = path + ": " + std::strerror(errno);
        return false;
    }
    const auto headers = bmpHeaders(header);
    bool written = writeAll(descriptor, headers.data(), headers.size()) &&
                   writeAll(descriptor, pixels, header.biSizeImage) && fsync(descriptor) == 0;
    int error = written ? 0 : errno;
    if (close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (written) return true;
    failure = path + ": " + std::strerror(error == 0 ? EIO : error);
    unlink(temporary.c_str());
    return false;
}

}  // namespace platform
