#include "app/contact_sheet/contact_sheet.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/contact_sheet/bmp_reader.h"
#include "app/contact_sheet/caption_text.h"
#include "app/contact_sheet/logged_times.h"
#include "app/contact_sheet/picture_listing.h"
#include "app/contact_sheet/sheet_file.h"
#include "app/contact_sheet/sheet_layout.h"
#include "app/contact_sheet/thumbnail.h"

namespace app {
namespace {

int failed(const std::string& reason) {
    std::fprintf(stderr, "tavomotion: %s\n", reason.c_str());
    return 1;
}

// A sheet of thousands would be unwieldy: the newest are the ones to check.
void keepNewest(std::vector<TriggerPicture>& pictures, const std::string& directory) {
    if (pictures.size() <= static_cast<std::size_t>(contactSheetCap)) return;
    std::fprintf(stderr, "tavomotion: %zu pictures in %s; the sheet shows the newest %d\n", pictures.size(),
                 directory.c_str(), contactSheetCap);
    pictures.erase(pictures.begin(), pictures.end() - contactSheetCap);
}

std::vector<SheetEntry> entriesFor(const std::vector<TriggerPicture>& pictures) {
    std::vector<SheetEntry> entries;
    for (const TriggerPicture& picture : pictures) {
        std::string failure;
        const auto image = readTriggerBmp(picture.path, failure);
        if (!image) {
            std::fprintf(stderr, "tavomotion: skipped %s: %s\n", picture.path.c_str(), failure.c_str());
            continue;
        }
        entries.push_back({thumbnailOf(*image, thumbnailWidth, thumbnailHeight), captionFor(picture)});
    }
    return entries;
}

// The log keeps the time a picture was taken when a copy of the files does
// not, and where in its recording a replay's picture lies.
void takeLoggedTimes(std::vector<TriggerPicture>& pictures, const std::string& directory) {
    const std::map<std::string, std::string> logged = loggedTimes(directory);
    const std::map<std::string, std::string> positions = loggedPositions(directory);
    for (TriggerPicture& picture : pictures) {
        const std::string name = std::filesystem::path(picture.path).filename().string();
        if (const auto found = logged.find(name); found != logged.end()) picture.loggedTime = found->second;
        if (const auto found = positions.find(name); found != positions.end())
            picture.loggedPosition = found->second;
    }
}

}  // namespace

int writeContactSheet(const std::string& directory, const std::string& output) {
    std::string failure;
    std::vector<TriggerPicture> pictures = listTriggerPictures(directory, failure);
    if (!failure.empty()) return failed(failure);
    if (pictures.empty()) return failed("no pictures tavo_N.bmp in " + directory);
    keepNewest(pictures, directory);
    takeLoggedTimes(pictures, directory);
    const std::vector<SheetEntry> entries = entriesFor(pictures);
    if (entries.empty()) return failed("none of the pictures in " + directory + " could be read");
    bool captioned = false;
    const platform::Canvas sheet = laidOutSheet(entries, captioned);
    if (!captioned) std::fprintf(stderr, "tavomotion: no font found; the sheet has no captions\n");
    if (!writeSheetFile(sheet, output, failure)) return failed(failure);
    return 0;
}

}  // namespace app
