#include "app/web/picture_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "app/web/json_text.h"

namespace app::web {
namespace {

constexpr std::size_t longestNumber = 9;

std::int64_t numberOf(const std::string& name) { return std::stoll(name.substr(5)); }

bool newerFirst(const PictureFile& a, const PictureFile& b) {
    if (a.modifiedSeconds != b.modifiedSeconds) return a.modifiedSeconds > b.modifiedSeconds;
    if (numberOf(a.name) != numberOf(b.name)) return numberOf(a.name) > numberOf(b.name);
    return a.name > b.name;
}

}  // namespace

bool isPictureName(const std::string& name) {
    constexpr std::size_t prefix = 5;  // "tavo_"
    constexpr std::size_t suffix = 4;  // ".bmp", ".jpg"
    if (name.size() <= prefix + suffix || name.compare(0, prefix, "tavo_") != 0) return false;
    const std::string digits = name.substr(prefix, name.size() - prefix - suffix);
    const std::string extension = name.substr(name.size() - suffix);
    return digits.size() <= longestNumber && digits.find_first_not_of("0123456789") == std::string::npos &&
           (extension == ".bmp" || extension == ".jpg");
}

std::vector<PictureFile> listPictures(const std::string& directory) {
    std::vector<PictureFile> pictures;
    DIR* folder = ::opendir(directory.c_str());
    if (folder == nullptr) return pictures;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (!isPictureName(name) ||
            ::fstatat(::dirfd(folder), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(status.st_mode))
            continue;
        pictures.push_back(
            {name, static_cast<std::int64_t>(status.st_mtime), static_cast<std::uint64_t>(status.st_size)});
    }
    ::closedir(folder);
    std::sort(pictures.begin(), pictures.end(), newerFirst);
    return pictures;
}

std::string picturesJson(const std::vector<PictureFile>& pictures,
                         const std::map<std::string, std::string>& positions) {
    std::string json = "[";
    for (const PictureFile& picture : pictures) {
        if (json.size() > 1) json += ",";
        const auto position = positions.find(picture.name.substr(0, picture.name.size() - 3) + "bmp");
        json += "\n{\"name\":" + jsonString(picture.name) +
                ",\"time\":" + jsonString(utcTime(picture.modifiedSeconds)) +
                (position == positions.end() ? "" : ",\"position\":" + position->second) +
                ",\"bytes\":" + std::to_string(picture.bytes) + "}";
    }
    return json + "\n]\n";
}

std::string savedFileTime(const std::string& directory, const std::string& name) {
    struct stat status {};
    if (name.empty() || ::stat((directory + "/" + name).c_str(), &status) != 0) return "";
    return utcTime(status.st_mtime);
}

bool savedFileExists(const std::string& directory, const std::string& name) {
    struct stat status {};
    return ::lstat((directory + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

int openSavedFile(const std::string& directory, const std::string& name, std::uint64_t& bytes) {
    const std::string path = directory + "/" + name;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (descriptor < 0) return -1;
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return -1;
    }
    bytes = static_cast<std::uint64_t>(status.st_size);
    return descriptor;
}

}  // namespace app::web
