#include "app/every_vehicle/vehicle_pictures.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/disk_room.h"
#include "app/every_vehicle/every_vehicle_display.h"
#include "app/picture_followups.h"
#include "app/trigger_images.h"
#include "platform/console/console.h"
#include "platform/vfw/dib_file.h"

namespace app {

std::string saveVehiclePicture(const KeptFrame& frame, std::int32_t coverPercent) {
    const std::int32_t number = takeImageNumber();
    const std::string name = triggerImageName(number);
    platform::console::print("every vehicle: picture %d [%s] at %.2f s, %d %% of the window covered\n",
                             number, name.c_str(), frame.seconds, coverPercent);
    makeRoomForPicture(number);
    platform::BITMAPINFOHEADER header;
    std::memcpy(&header, frame.dib.data(), sizeof header);
    std::string failure = "the kept frame is shorter than its header says";
    const bool whole = header.biSizeImage <= frame.dib.size() - frame.headerBytes;
    PictureRecord record;
    record.number = number;
    record.file = name;
    record.windowCovered = coverPercent;
    if (!whole || !platform::writeDibFile(name, header, frame.dib.data() + frame.headerBytes, failure)) {
        std::fprintf(stderr, "picture not written: %s\n", failure.c_str());
        platform::console::print("unable to save grabbed file [%s]\n", name.c_str());
        followUpPicture(record, failure, frame.extras);
        return "";
    }
    ++picturesSaved;
    lastPictureNumber = number;
    followUpPicture(record, "", frame.extras);
    paintVehiclePicture(frame);
    return name;
}

}  // namespace app
