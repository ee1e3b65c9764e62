#include "app/contact_sheet/picture_listing.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "app/trigger_images.h"

namespace app {
namespace {

bool olderThan(const TriggerPicture& a, const TriggerPicture& b) {
    return std::tie(a.modified.tv_sec, a.modified.tv_nsec, a.number) <
           std::tie(b.modified.tv_sec, b.modified.tv_nsec, b.number);
}

}  // namespace

std::vector<TriggerPicture> listTriggerPictures(const std::string& directory, std::string& failure) {
    std::vector<TriggerPicture> pictures;
    std::error_code error;
    std::filesystem::directory_iterator entries(directory, error);
    if (error) {
        failure = "cannot read directory " + directory + ": " + error.message();
        return pictures;
    }
    for (const auto& entry : entries) {
        const auto number = triggerPictureNumber(entry.path().filename().string());
        struct stat status {};
        if (!number || stat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        pictures.push_back({entry.path().string(), *number, status.st_mtim, "", ""});
    }
    std::sort(pictures.begin(), pictures.end(), olderThan);
    return pictures;
}

}  // namespace app
