#include "app/program.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/check_config_command.h"
#include "app/command_line.h"
#include "app/contact_sheet/contact_sheet.h"
#include "app/mqtt_events.h"
#include "app/picture_commands.h"
#include "app/picture_followups.h"
#include "app/replay_progress.h"
#include "app/startup.h"
#include "app/survey/survey_report.h"
#include "app/survey/survey_settings.h"
#include "app/version.h"
#include "app/web/web_view.h"
#include "platform/clock/clock.h"
#include "platform/sources/source_factory.h"
#include "platform/sources/v4l2_cameras.h"
#include "platform/vfw/driver_table.h"
#include "platform/winsys/png_snapshot.h"
#include "platform/winsys/presentation.h"
#include "platform/winsys/window.h"

namespace app {
namespace {

constexpr int usageStatus = 2;

std::string snapshotPath;

int usageError(const std::string& error) {
    std::fprintf(stderr, "tavomotion: %s\n\n%s", error.c_str(), usageText().c_str());
    return usageStatus;
}

void installCameras() {
    const auto cameras = platform::findCameras();
    for (std::size_t slot = 0; slot < cameras.size() && slot < platform::driverSlots; ++slot) {
        std::string failure;
        auto source = platform::makeFrameSource(cameras[slot].path, std::nullopt, failure);
        if (source)
            platform::installDriver(static_cast<int>(slot), std::move(source), cameras[slot].cardName);
    }
}

// A recording is opened at once with its filter, so a graph that gives no
// picture for it is refused before anything else happens.
std::string installFilter(const platform::CaptureDriver* driver, const std::string& graph) {
    if (driver == nullptr) return "--filter needs a source behind the driver";
    std::string failure;
    if (!driver->source->setFilter(graph, failure)) return failure;
    if (!driver->source->isLive() && !driver->source->open(failure)) return failure;
    return "";
}

// The drivers for this run; an error text for a source that cannot be named
// or cannot be replayed fast.
std::string installDrivers(const ProgramOptions& options) {
    const int index = driverIndexOf(options.commandLineText);
    if (options.source && (index < 0 || index >= platform::driverSlots)) {
        return "--source needs a driver index from 0 to 9, not " + std::to_string(index);
    }
    if (options.fast && options.source && platform::isLiveSourceName(*options.source)) {
        return "--fast replays recordings only, not the live source '" + *options.source + "'";
    }
    installCameras();
    if (options.source) {
        std::string failure;
        auto source = platform::makeFrameSource(*options.source, options.frameRate, failure);
        if (!source) return failure;
        if (options.fast) source->preferThroughput();
        platform::installDriver(index, std::move(source), *options.source);
    }
    const platform::CaptureDriver* chosen = platform::driverAt(index);
    if (options.fast && chosen != nullptr && chosen->source->isLive()) {
        return "--fast replays recordings only; driver " + std::to_string(index) + " is a live camera";
    }
    return options.filter ? installFilter(chosen, *options.filter) : "";
}

void writeSnapshotAtExit() {
    if (snapshotPath.empty() || !platform::IsWindow(mainWindow)) return;
    std::string failure;
    if (!platform::writeWindowPng(mainWindow, snapshotPath, failure)) {
        std::fprintf(stderr, "tavomotion: snapshot not written: %s\n", failure.c_str());
    }
}

}  // namespace

int runProgram(const std::vector<std::string>& arguments) {
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    if (!parsed.error.empty()) return usageError(parsed.error);
    const ProgramOptions& options = parsed.options;
    if (options.contactSheet)
        return writeContactSheet(options.contactSheet->directory, options.contactSheet->output);
    if (options.aim) return aim::writeAimPictures(*options.aim);
    if (options.report) return survey::writeSurveyReport(options.report->directory, options.report->output);
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tavomotion %s\n", programVersion);
        return 0;
    }
    const std::string mqttError = requestMqttEvents(options.mqtt);
    if (!mqttError.empty()) return usageError(mqttError);
    const std::string driverError = installDrivers(options);
    if (!driverError.empty()) return usageError(driverError);
    if (options.checkConfig) return checkConfiguration(options);
    if (options.listenAddress) {
        const std::string listenError = web::startWebView(*options.listenAddress, options.listenCredentials);
        if (!listenError.empty()) return usageError(listenError);
    }

    platform::clock::select(options.fast ? platform::clock::Kind::virtualTime : platform::clock::Kind::real);
    platform::presentation::setHeadless(options.headless);
    if (options.everyVehicle) everyVehicleMode = 1;
    if (options.fullSize) fullSizePictures = 1;
    if (options.fullDecode) fullDecode = 1;
    // A snapshot shows the window as every paint left it.
    if (!options.snapshotPath) unseenPaintsLeftOut = 1;
    if (options.pictureLog) pictureLogKept = 1;
    if (options.keepFreeBytes) keepFreeBytes = *options.keepFreeBytes;
    if (options.onPicture) setPictureCommand(*options.onPicture);
    survey::settings.roadPointsFromCommandLine = options.roadPoints;
    survey::settings.cameraFootFromCommandLine = options.cameraFoot.value_or("");
    platform::setRunLimit(options.runForSeconds);
    platform::closeOnTerminationSignals();
    if (options.snapshotPath) {
        platform::presentation::snapshotWhenDestroyed(*options.snapshotPath);
        // The fatal exits of the capture device end with the window still open.
        snapshotPath = *options.snapshotPath;
        std::atexit(writeSnapshotAtExit);
    }
    // A terminal shows how far a fast replay has got; a log file is spared it.
    if (options.fast && isatty(STDERR_FILENO) != 0)
        startReplayProgress(driverIndexOf(options.commandLineText));
    const int status = winMain(options.commandLineText);
    endReplayProgress();
    leavePictureCommands();
    web::stopWebView();
    stopMqttEvents();
    return status;
}

}  // namespace app
