#include "app/check_config_command.h"

#include <cstdio>
#include <filesystem>

#include "app/app_state.h"
#include "app/config_check.h"
#include "app/mqtt_settings.h"
#include "app/survey/survey_settings.h"
#include "app/trigger_images.h"
#include "app/web/status_board.h"
#include "platform/console/console.h"
#include "platform/files/free_space.h"
#include "platform/vfw/driver_table.h"

namespace app {
namespace {

constexpr int mistakeStatus = 2;

void tell(const std::string& mistake, int& mistakes) {
    std::fprintf(stderr, "tavomotion: %s\n", mistake.c_str());
    ++mistakes;
}

std::string modeText(const ProgramOptions& options) {
    std::string mode = triggerOnAnyMotion != 0 ? "any motion" : "cars only";
    if (options.everyVehicle || everyVehicleMode != 0) mode += ", every vehicle";
    return mode;
}

std::string sourceText(const ProgramOptions& options, const platform::CaptureDriver& driver) {
    // The answer may be passed on: a camera's password is left out.
    std::string text = "driver " + std::to_string(driverIndexOf(options.commandLineText)) + ": " +
                       web::shownSource(driver.description);
    if (driver.source->isLive()) return text + ", a live camera (not connected by this check)";
    return text + (options.fast ? ", a recording replayed fast" : ", a recording replayed at its own speed");
}

std::string saveDirectoryText() {
    std::error_code error;
    const std::filesystem::path here = std::filesystem::current_path(error);
    std::string text = (here / imagesSaveDirectory).lexically_normal().string();
    const std::int32_t first = firstFreeImageNumber(imagesSaveDirectory, imagesNumberToSave);
    text += ", next picture tavo_" + std::to_string(first) + ".bmp";
    if (imagesNumberToSave > 0)
        return text + ", a ring of tavo_0 to tavo_" + std::to_string(imagesNumberToSave);
    return text + ", no cap";
}

void addOption(std::string& list, const std::string& option) { list += (list.empty() ? "" : ", ") + option; }

std::string optionsText(const ProgramOptions& options, const std::optional<MqttSetup>& mqtt) {
    std::string list;
    if (options.pictureLog || pictureLogKept != 0) addOption(list, "picture log");
    if (options.fullSize || fullSizePictures != 0) addOption(list, "full-size pictures");
    if (options.fullDecode) addOption(list, "full decode");
    const std::int64_t keepFree = options.keepFreeBytes.value_or(keepFreeBytes);
    if (keepFree > 0) addOption(list, "keep " + platform::byteSizeText(keepFree) + " free");
    if (options.filter) addOption(list, "filter '" + *options.filter + "'");
    if (options.listenAddress) addOption(list, "web view on " + *options.listenAddress);
    if (mqtt) addOption(list, "MQTT " + *withConfigFile(options.mqtt).url + " as " + mqtt->cameraName);
    if (survey::settings.roadPlane) addOption(list, "traffic survey with road calibration");
    if (options.onPicture) addOption(list, "on picture '" + *options.onPicture + "'");
    if (options.runForSeconds) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", *options.runForSeconds);
        addOption(list, "run for " + std::string(seconds) + " s");
    }
    if (options.snapshotPath) addOption(list, "snapshot " + *options.snapshotPath);
    return list.empty() ? "none" : list;
}

}  // namespace

int checkConfiguration(const ProgramOptions& options) {
    int mistakes = 0;
    if (options.keepFreeBytes) keepFreeBytes = *options.keepFreeBytes;
    survey::settings.roadPointsFromCommandLine = options.roadPoints;
    // The reading's console trace is no part of the answer.
    std::string trace;
    platform::console::captureInto(&trace);
    const std::string failure = readCheckedConfig(mistakes);
    platform::console::captureInto(nullptr);
    if (!failure.empty()) tell(failure, mistakes);
    std::string mqttFailure;
    const std::optional<MqttSetup> mqtt = mqttSetupFor(withConfigFile(options.mqtt), mqttFailure);
    if (!mqttFailure.empty()) tell(mqttFailure, mistakes);
    const int index = driverIndexOf(options.commandLineText);
    const platform::CaptureDriver* driver = platform::driverAt(index);
    if (driver == nullptr)
        tell(
            "driver " + std::to_string(index) + " has no source: no camera found there and no --source given",
            mistakes);
    std::printf("mode: %s\n", modeText(options).c_str());
    std::printf("source: %s\n", driver != nullptr ? sourceText(options, *driver).c_str() : "none");
    std::printf("save directory: %s\n", saveDirectoryText().c_str());
    std::printf("options: %s\n", optionsText(options, mqtt).c_str());
    std::printf("%d mistake%s\n", mistakes, mistakes == 1 ? "" : "s");
    return mistakes == 0 ? 0 : mistakeStatus;
}

}  // namespace app
