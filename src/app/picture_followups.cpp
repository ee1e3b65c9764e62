#include "app/picture_followups.h"

#include <cstdio>
#include <ctime>

#include "app/app_state.h"
#include "app/full_size_pictures.h"
#include "app/mqtt_events.h"
#include "app/picture_commands.h"
#include "app/picture_log.h"

namespace app {
namespace {

std::string writeFullSize(const std::string& pictureName, const FrameExtras& extras) {
    const std::string name = fullSizeName(pictureName);
    std::string failure;
    if (writeFullSizePicture(extras.fullSize.get(), name, failure)) return name;
    std::fprintf(stderr, "picture not written: %s\n", failure.c_str());
    // A copy left from an earlier round of the ring would stand beside the wrong picture.
    std::remove(name.c_str());
    return "";
}

}  // namespace

void followUpPicture(PictureRecord record, const std::string& failure, const FrameExtras& extras) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    record.time = localTimestamp(now);
    record.positionNanoseconds = extras.positionNanoseconds;
    record.mode = pictureMode();
    const bool saved = failure.empty();
    if (saved && fullSizePictures != 0) record.fullSizeFile = writeFullSize(record.file, extras);
    record.outcome = saved ? "saved" : "failed: " + failure;
    if (pictureLogKept != 0) logPicture(record);
    if (saved) runPictureCommand(record);
    publishPictureEvent(record);
}

void leavePictureCommands() {
    reapPictureCommands();
    const std::size_t running = runningPictureCommands();
    if (running > 0)
        std::fprintf(stderr, "%zu picture command%s still running, left to finish\n", running,
                     running == 1 ? "" : "s");
}

}  // namespace app
