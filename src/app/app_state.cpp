#include "app/app_state.h"

#include "app/mqtt_settings.h"
#include "app/survey/survey_settings.h"

namespace app {

std::int32_t cameraIndex = 0;
std::int32_t triggerOnAnyMotion = 1;
std::int32_t everyVehicleMode = 0;
std::int32_t fullSizePictures = 0;
std::int32_t fullDecode = 0;
std::int32_t unseenPaintsLeftOut = 0;
std::int32_t pictureLogKept = 0;
std::int64_t keepFreeBytes = 0;
volatile std::int32_t quitRequested = 0;
platform::HWND mainWindow = nullptr;
char imagesSaveDirectory[saveDirectoryCapacity] = "";
std::int32_t imagesNumberToSave = 0;
std::int32_t savedImageIndex = 0;
std::int32_t picturesSaved = 0;
std::int32_t lastPictureNumber = -1;
char titleText[titleCapacity] = "";
std::int32_t gaugeRight = 329;

void resetApp() {
    forgetMqttKeys();
    cameraIndex = 0;
    triggerOnAnyMotion = 1;
    everyVehicleMode = 0;
    fullSizePictures = 0;
    fullDecode = 0;
    unseenPaintsLeftOut = 0;
    pictureLogKept = 0;
    keepFreeBytes = 0;
    quitRequested = 0;
    mainWindow = nullptr;
    imagesSaveDirectory[0] = '\0';
    imagesNumberToSave = 0;
    savedImageIndex = 0;
    picturesSaved = 0;
    lastPictureNumber = -1;
    titleText[0] = '\0';
    gaugeRight = 329;
    survey::resetSurveySettings();
}

}  // namespace app
