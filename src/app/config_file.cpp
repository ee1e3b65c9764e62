#include "app/config_file.h"

#include <cstdio>
#include <cstring>

#include "app/app_state.h"
#include "app/mqtt_settings.h"
#include "app/survey/survey_settings.h"
#include "platform/clock/clock.h"
#include "platform/console/console.h"
#include "platform/files/free_space.h"

namespace app {
namespace {

// The rest of the current line goes to the console, a character at a time;
// a byte of 255 reads as -1 and ends the echo like the end of the file.
void echoRestOfLine(std::FILE* file) {
    for (;;) {
        const auto character = static_cast<signed char>(std::fgetc(file));
        if (character == '\r' || character == '\n' || character == -1) return;
        platform::console::print("%c", character);
        platform::clock::sleepMilliseconds(1);
    }
}

// The keys that keep the disk from filling. True when `token` is one of them.
bool applyRoomKey(std::FILE* file, const char* token, std::string& error) {
    if (std::strcmp(token, "KEEP_FREE_SPACE") != 0) return false;
    char value[32] = "";
    static_cast<void>(std::fscanf(file, "%31s", value));
    const auto bytes = platform::parseByteSize(value);
    if (!bytes) {
        error = std::string("KEEP_FREE_SPACE in tavomotion.ini needs a size such as 500M or 2G, not '") +
                value + "'";
        return true;
    }
    // The command line's --keep-free wins.
    if (keepFreeBytes == 0) keepFreeBytes = *bytes;
    platform::console::print("Keeping %s free\n", platform::byteSizeText(keepFreeBytes).c_str());
    return true;
}

void applyKey(std::FILE* file, const char* token) {
    if (survey::applySurveyKey(file, token)) return;
    if (std::strcmp(token, "DETECT_CARS_ONLY") == 0) {
        triggerOnAnyMotion = 0;
        platform::console::print("car detection flagged\n");
    } else if (std::strcmp(token, "EVERY_VEHICLE") == 0) {
        everyVehicleMode = 1;
        platform::console::print("every vehicle flagged\n");
    } else if (std::strcmp(token, "FULL_SIZE_PICTURES") == 0) {
        fullSizePictures = 1;
        platform::console::print("full size pictures flagged\n");
    } else if (std::strcmp(token, "PICTURE_LOG") == 0) {
        pictureLogKept = 1;
        platform::console::print("picture log flagged\n");
    } else if (std::strcmp(token, "IMAGES_SAVE_DIRECTORY") == 0) {
        // A missing value leaves the directory as it was.
        static_cast<void>(std::fscanf(file, "%199s", imagesSaveDirectory));
        platform::console::print("Saving images in %s\n", imagesSaveDirectory);
    } else if (std::strcmp(token, "IMAGES_NUMBER_TO_SAVE") == 0) {
        // Not a number: the cap keeps its value and the echo starts there.
        static_cast<void>(std::fscanf(file, "%d", &imagesNumberToSave));
        platform::console::print("Saving %d images maximum\n", imagesNumberToSave);
    }
}

}  // namespace

std::string readConfigFile() {
    platform::console::print("reading ini file\n");
    std::FILE* file = std::fopen("tavomotion.ini", "r");
    if (file == nullptr) return "";
    char token[500];
    std::string error;
    while (error.empty() && std::fscanf(file, "%499s", token) == 1) {
        if (token[0] == '#') {
            platform::console::print("comment in ini file\n");
        } else if (!applyMqttKey(file, token) && !applyRoomKey(file, token, error)) {
            applyKey(file, token);
        }
        if (error.empty()) echoRestOfLine(file);
    }
    std::fclose(file);
    return error;
}

}  // namespace app
