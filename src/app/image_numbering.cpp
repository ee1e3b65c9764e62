// Where the numbering of a new run starts, from the pictures already there.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/trigger_images.h"

namespace app {
namespace {

struct Picture {
    std::int32_t number;
    std::int64_t modifiedNanoseconds;
};

std::int64_t modificationTime(const std::filesystem::path& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return 0;
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

bool newer(const Picture& candidate, const Picture& best) {
    if (candidate.modifiedNanoseconds != best.modifiedNanoseconds) {
        return candidate.modifiedNanoseconds > best.modifiedNanoseconds;
    }
    return candidate.number > best.number;
}

}  // namespace

std::optional<std::int32_t> triggerPictureNumber(const std::string& name) {
    const std::string prefix = "tavo_";
    const std::string suffix = ".bmp";
    if (name.size() <= prefix.size() + suffix.size()) return std::nullopt;
    if (name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return std::nullopt;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.size() > 1 && digits[0] == '0') return std::nullopt;
    std::int64_t value = 0;
    for (const char digit : digits) {
        if (digit < '0' || digit > '9') return std::nullopt;
        value = value * 10 + (digit - '0');
        if (value >= INT32_MAX) return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t firstFreeImageNumber(const std::string& directory, std::int32_t cap) {
    std::error_code error;
    std::filesystem::directory_iterator entries(directory.empty() ? "." : directory, error);
    if (error) return 0;
    std::optional<Picture> highest;
    std::optional<Picture> newest;
    for (const auto& entry : entries) {
        const auto number = triggerPictureNumber(entry.path().filename().string());
        if (!number || (cap > 0 && *number > cap)) continue;
        const Picture picture{*number, modificationTime(entry.path())};
        if (!highest || picture.number > highest->number) highest = picture;
        if (!newest || newer(picture, *newest)) newest = picture;
    }
    if (cap <= 0) return highest ? highest->number + 1 : 0;
    if (!newest) return 0;
    return newest->number + 1 > cap ? 0 : newest->number + 1;
}

}  // namespace app
