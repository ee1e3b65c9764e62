#include "app/disk_room.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>

#include "app/app_state.h"
#include "app/picture_log.h"
#include "app/trigger_images.h"
#include "platform/files/free_space.h"

namespace app {
namespace {

namespace fs = std::filesystem;

// The files of one picture number: the BMP, the JPEG beside it, or both.
struct PictureFiles {
    std::int32_t number = 0;
    std::string bmp;
    std::string jpg;
};

// The number of a tavo_N.bmp or tavo_N.jpg name; nothing for any other.
std::optional<std::int32_t> numberOfOurs(std::string name) {
    const std::string jpg = ".jpg";
    if (name.size() > jpg.size() && name.compare(name.size() - jpg.size(), jpg.size(), jpg) == 0)
        name.replace(name.size() - jpg.size(), jpg.size(), ".bmp");
    return triggerPictureNumber(name);
}

std::string shownName(const std::string& fileName) {
    const std::string directory = imagesSaveDirectory;
    return directory.empty() ? fileName : directory + "/" + fileName;
}

// Our pictures in the save directory, oldest first.
std::vector<PictureFiles> picturesOldestFirst(std::int32_t next) {
    std::map<std::int32_t, PictureFiles> byNumber;
    std::error_code error;
    const fs::path directory = imagesSaveDirectory[0] == '\0' ? "." : imagesSaveDirectory;
    for (const auto& entry : fs::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        const auto number = numberOfOurs(name);
        if (!number || !entry.is_regular_file(error) || entry.is_symlink(error)) continue;
        PictureFiles& files = byNumber[*number];
        files.number = *number;
        (name.ends_with(".bmp") ? files.bmp : files.jpg) = shownName(name);
    }
    std::vector<PictureFiles> pictures;
    for (auto& [number, files] : byNumber) pictures.push_back(std::move(files));
    if (imagesNumberToSave > 0) {
        const auto firstOfRing =
            std::find_if(pictures.begin(), pictures.end(),
                         [next](const PictureFiles& files) { return files.number >= next; });
        std::rotate(pictures.begin(), firstOfRing, pictures.end());
    }
    return pictures;
}

bool removeFile(const std::string& path) {
    if (path.empty()) return false;
    std::error_code error;
    if (fs::remove(path, error)) return true;
    if (error) std::fprintf(stderr, "picture not removed: %s: %s\n", path.c_str(), error.message().c_str());
    return false;
}

void logRemoval(const PictureFiles& files, bool jpgRemoved) {
    if (pictureLogKept == 0) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    PictureRecord record;
    record.number = files.number;
    record.file = files.bmp.empty() ? triggerImageName(files.number) : files.bmp;
    record.time = localTimestamp(now);
    if (jpgRemoved) record.fullSizeFile = files.jpg;
    record.outcome = "removed";
    logPicture(record);
}

void removePicture(const PictureFiles& files, const std::string& keep) {
    const bool bmpRemoved = removeFile(files.bmp);
    const bool jpgRemoved = removeFile(files.jpg);
    if (!bmpRemoved && !jpgRemoved) return;
    std::string removed = bmpRemoved ? files.bmp : "";
    if (jpgRemoved) removed += (removed.empty() ? "" : " and ") + files.jpg;
    std::fprintf(stderr, "removed %s: less than %s free\n", removed.c_str(), keep.c_str());
    logRemoval(files, jpgRemoved);
}

bool roomEnough() {
    const auto free = platform::freeBytes(imagesSaveDirectory);
    // A file system that cannot say is not emptied on a guess.
    return !free || *free >= keepFreeBytes;
}

// Said once each time the disk runs short with nothing of ours left on it.
bool shortnessSaid = false;

}  // namespace

void makeRoomForPicture(std::int32_t number) {
    if (keepFreeBytes <= 0) return;
    if (roomEnough()) {
        shortnessSaid = false;
        return;
    }
    const std::string keep = platform::byteSizeText(keepFreeBytes);
    for (const PictureFiles& files : picturesOldestFirst(number)) {
        removePicture(files, keep);
        if (roomEnough()) return;
    }
    if (shortnessSaid) return;
    shortnessSaid = true;
    const std::string directory = imagesSaveDirectory[0] == '\0' ? "." : imagesSaveDirectory;
    std::fprintf(stderr, "less than %s free for the pictures in %s, and no picture left there to remove\n",
                 keep.c_str(), directory.c_str());
}

}  // namespace app
