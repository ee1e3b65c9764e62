#include "platform/http/credentials_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::http {
namespace {

constexpr std::size_t longestFile = 4096;

std::string ownerOnlyProblem(const struct stat& status) {
    if (!S_ISREG(status.st_mode)) return "is not a regular file";
    if (status.st_uid != ::geteuid()) return "belongs to another user";
    if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) return "may be read or written by others (chmod 600 it)";
    return "";
}

std::string readAll(int descriptor) {
    std::string text;
    char block[512];
    for (;;) {
        const ssize_t got = ::read(descriptor, block, sizeof block);
        if (got <= 0 || text.size() > longestFile) break;
        text.append(block, static_cast<std::size_t>(got));
    }
    return text;
}

std::optional<Credentials> parseLine(std::string text, std::string& failure) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    const std::size_t colon = text.find(':');
    if (text.find('\n') != std::string::npos || colon == std::string::npos || colon == 0 ||
        colon + 1 == text.size()) {
        failure = "holds no single user:password line";
        return std::nullopt;
    }
    return Credentials{text.substr(0, colon), text.substr(colon + 1)};
}

}  // namespace

std::optional<Credentials> readCredentialsFile(const std::string& path, std::string& failure,
                                               const std::string& option) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) {
        failure = option + " " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    std::string problem = ::fstat(descriptor, &status) != 0 ? std::strerror(errno) : ownerOnlyProblem(status);
    std::optional<Credentials> credentials;
    if (problem.empty()) credentials = parseLine(readAll(descriptor), problem);
    ::close(descriptor);
    if (!problem.empty()) failure = option + " " + path + " " + problem;
    return credentials;
}

}  // namespace platform::http
