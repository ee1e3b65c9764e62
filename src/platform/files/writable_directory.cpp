#include "platform/files/writable_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

std::string unwritableDirectoryReason(const std::string& directory) {
    const std::string place = directory.empty() ? "." : directory;
    struct stat status {};
    if (::stat(place.c_str(), &status) != 0)
        return errno == ENOENT ? "it does not exist" : std::string(std::strerror(errno));
    if (!S_ISDIR(status.st_mode)) return "it is not a directory";
    // Permission bits do not tell about read-only mounts, quotas or ACLs: a
    // real file does. Its name is never taken for a picture's.
    std::string pattern = place + "/.tavomotion-check-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int descriptor = ::mkstemp(name.data());
    if (descriptor < 0) return std::string("no file can be created in it (") + std::strerror(errno) + ")";
    ::close(descriptor);
    ::unlink(name.data());
    return "";
}

}  // namespace platform
