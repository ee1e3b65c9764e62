#include "platform/files/line_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

std::string reasonFor(const std::string& path, int error) { return path + ": " + std::strerror(error); }

bool fileSize(const std::string& path, std::int64_t& size) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return false;
    size = status.st_size;
    return true;
}

bool rotateIfFull(const LineLog& log, std::size_t adding, std::string& failure) {
    std::int64_t size = 0;
    if (!log.rotateAtBytes || !fileSize(log.path, size) || size == 0) return true;
    if (size + static_cast<std::int64_t>(adding) <= *log.rotateAtBytes) return true;
    if (std::rename(log.path.c_str(), (log.path + ".1").c_str()) == 0) return true;
    failure = reasonFor(log.path + ".1", errno);
    return false;
}

}  // namespace

bool appendLine(const LineLog& log, const std::string& line, std::string& failure) {
    if (!rotateIfFull(log, line.size() + 1, failure)) return false;
    const int file = open(log.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) {
        failure = reasonFor(log.path, errno);
        return false;
    }
    struct stat status {};
    const bool fresh = fstat(file, &status) == 0 && status.st_size == 0;
    const std::string text = (fresh ? log.header + "\n" : std::string()) + line + "\n";
    const ssize_t written = write(file, text.data(), text.size());
    const int writeError = errno;
    bool whole = written == static_cast<ssize_t>(text.size());
    if (!whole) {
        // A short append on a full disk is taken back, so the next line starts a line.
        if (written > 0) static_cast<void>(ftruncate(file, status.st_size));
        failure = reasonFor(log.path, written < 0 ? writeError : ENOSPC);
    }
    if (close(file) != 0 && whole) {
        failure = reasonFor(log.path, errno);
        whole = false;
    }
    return whole;
}

}  // namespace platform
