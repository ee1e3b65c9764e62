#include "platform/files/free_space.h"

#include <sys/statvfs.h>

#include <array>
#include <cctype>

namespace platform {
namespace {

constexpr std::array<char, 4> units{'K', 'M', 'G', 'T'};

}  // namespace

std::optional<std::int64_t> freeBytes(const std::string& directory) {
    struct statvfs status {};
    if (statvfs(directory.empty() ? "." : directory.c_str(), &status) != 0) return std::nullopt;
    return static_cast<std::int64_t>(status.f_bavail) * static_cast<std::int64_t>(status.f_frsize);
}

std::optional<std::int64_t> parseByteSize(const std::string& text) {
    if (text.size() < 2) return std::nullopt;
    const char unit = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    std::int64_t scale = 1;
    bool known = false;
    for (const char candidate : units) {
        scale *= 1024;
        if (candidate == unit) {
            known = true;
            break;
        }
    }
    if (!known) return std::nullopt;
    std::int64_t number = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        number = number * 10 + (text[i] - '0');
        if (number > INT64_MAX / scale) return std::nullopt;
    }
    if (number == 0) return std::nullopt;
    return number * scale;
}

std::string byteSizeText(std::int64_t bytes) {
    char unit = '\0';
    for (const char candidate : units) {
        if (bytes % 1024 != 0) break;
        bytes /= 1024;
        unit = candidate;
    }
    return std::to_string(bytes) + (unit == '\0' ? "" : std::string(1, unit));
}

}  // namespace platform
