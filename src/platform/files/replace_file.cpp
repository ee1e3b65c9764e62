#include "platform/files/replace_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool writeAll(int descriptor, ByteChunk chunk) {
    const std::uint8_t* data = chunk.data();
    std::size_t length = chunk.size();
    while (length > 0) {
        const ssize_t written = write(descriptor, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool writeChunks(int descriptor, const std::vector<ByteChunk>& chunks, Durability durability) {
    for (const ByteChunk chunk : chunks) {
        if (!writeAll(descriptor, chunk)) return false;
    }
    return durability == Durability::renamed || fsync(descriptor) == 0;
}

// Without this a power cut soon after the rename can lose the new name. The
// file is in place either way, so a failure here is not reported.
void syncDirectoryOf(const std::string& path) {
    const std::string directory = directoryOf(path);
    const int descriptor =
        open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
}

bool failed(const std::string& path, int error, std::string& failure) {
    failure = path + ": " + std::strerror(error == 0 ? EIO : error);
    return false;
}

}  // namespace

// Hidden, and never of the form tavo_N.bmp; one name per final name and
// process, so a temporary file a crash left behind is simply written over.
std::string temporaryNameFor(const std::string& path) {
    const std::string directory = directoryOf(path);
    return directory + "." + path.substr(directory.size()) + "." + std::to_string(getpid()) + ".part";
}

bool replaceFile(const std::string& path, const std::vector<ByteChunk>& chunks, Durability durability,
                 std::string& failure) {
    const std::string temporary = temporaryNameFor(path);
    const int descriptor =
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) return failed(path, errno, failure);
    bool written = writeChunks(descriptor, chunks, durability);
    int error = written ? 0 : errno;
    if (close(descriptor) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        return failed(path, error, failure);
    }
    if (durability == Durability::synced) syncDirectoryOf(path);
    return true;
}

}  // namespace platform
