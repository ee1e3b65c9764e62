#include "app/trigger_images.h"

#include "analysis/dark_object.h"
#include "analysis/scene_state.h"
#include "app/app_state.h"
#include "app/disk_room.h"
#include "app/display.h"
#include "app/picture_followups.h"
#include "capture/capture_device.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
#include "platform/vfw/driver_table.h"
#include "platform/vfw/vfw.h"

namespace app {
namespace {

std::string saveFailure(bool captureWindow) {
    if (!captureWindow) return "there is no capture window";
    const platform::CaptureDriver* driver = platform::driverAt(capture::captureDevice.driverIndexNow());
    if (driver == nullptr || driver->lastSaveFailure.empty()) return "the capture driver did not save it";
    return driver->lastSaveFailure;
}

void followUp(std::int32_t number, const std::string& name, const std::string& failure) {
    PictureRecord record;
    record.number = number;
    record.file = name;
    record.windowDifference = analysis::windowDiff;
    record.blackValue = analysis::cellBrightness;
    followUpPicture(record, failure, lastFrameExtras());
}

}  // namespace

std::string triggerImageName(std::int32_t number) {
    std::string name = imagesSaveDirectory;
    if (!name.empty()) name += '/';
    name += "tavo_" + std::to_string(number) + ".bmp";
    // The name buffer holds 99 characters; a longer name is cut, never overrun.
    if (name.size() > fileNameCapacity - 1) name.resize(fileNameCapacity - 1);
    return name;
}

std::int32_t takeImageNumber() {
    const std::int32_t number = savedImageIndex;
    savedImageIndex = number + 1;
    if (imagesNumberToSave > 0 && savedImageIndex > imagesNumberToSave) savedImageIndex = 0;
    return number;
}

void saveTriggerImage() {
    const double started = pipeline::secondsNow();
    platform::console::print("\ngrabbing image\n");
    const std::int32_t number = takeImageNumber();
    const std::string name = triggerImageName(number);
    platform::console::print("saving grabbed file [%s]\n", name.c_str());
    makeRoomForPicture(number);
    bool unwritten = false;
    const platform::HWND window = capture::captureDevice.windowHandle();
    const bool captureWindow = platform::IsWindow(window) != 0;
    if (captureWindow) {
        unwritten = platform::SendMessageA(window, platform::WM_CAP_FILE_SAVEDIBA, 0,
                                           reinterpret_cast<platform::LPARAM>(name.c_str())) == 0;
        if (unwritten) {
            platform::console::print("unable to save grabbed file [%s]\n", name.c_str());
        } else {
            ++picturesSaved;
            lastPictureNumber = number;
        }
    }
    platform::console::print("Time taken [%f]\n", pipeline::secondsNow() - started);
    // Without a capture window nothing was written, whatever the console says.
    const bool saved = captureWindow && !unwritten;
    followUp(number, name, saved ? std::string() : saveFailure(captureWindow));
    if (!unwritten) paintSavedFrame();
}

}  // namespace app
