#include "app/every_vehicle/every_vehicle_loop.h"

#include <algorithm>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/app_state.h"
#include "app/every_vehicle/every_vehicle_display.h"
#include "app/every_vehicle/kept_frames.h"
#include "app/every_vehicle/vehicle_pictures.h"
#include "app/main_loop.h"
#include "app/regions.h"
#include "app/survey/survey_on_mqtt.h"
#include "app/survey/traffic_survey.h"
#include "capture/capture_device.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
#include "platform/vfw/driver_table.h"
#include "platform/winsys/window.h"

namespace app {
namespace {

using analysis::everyvehicle::EveryVehicleAnalysis;
using analysis::everyvehicle::FrameVerdict;
using analysis::everyvehicle::PictureDecision;

void reportLearnt(const EveryVehicleAnalysis& analysis, bool again) {
    const auto& empty = analysis.emptyScene();
    std::copy_n(empty.begin(), std::min(empty.size(), pipeline::referenceImage.size()),
                pipeline::referenceImage.begin());
    platform::console::print("every vehicle: empty scene learnt%s at %.2f s, noise %.1f, threshold %.1f\n",
                             again ? " again" : "", pipeline::now,
                             static_cast<double>(analysis.figures().noise),
                             static_cast<double>(analysis.figures().threshold));
    pipeline::saveReferencePgm();
}

void takePictures(const std::vector<PictureDecision>& pictures, const KeptFrames& kept,
                  const EveryVehicleAnalysis& analysis, survey::TrafficSurvey& survey) {
    for (const PictureDecision& picture : pictures) {
        if (survey.onFootOnly(analysis.passagesPicturedIn(picture.frame))) continue;
        if (const KeptFrame* frame = kept.find(picture.frame))
            survey.pictured(picture.frame, saveVehiclePicture(*frame, picture.coverPercent));
    }
}

const platform::CaptureDriver* watchedDriver() {
    return platform::driverAt(capture::captureDevice.driverIndexNow());
}

// Where the frame just grabbed lies in the recording; empty for a live source.
std::optional<double> positionInRecording() {
    const platform::CaptureDriver* driver = watchedDriver();
    if (driver == nullptr || !driver->lastFramePosition) return std::nullopt;
    return static_cast<double>(*driver->lastFramePosition) / 1e9;
}

bool watchingARecording() {
    const platform::CaptureDriver* driver = watchedDriver();
    return driver != nullptr && driver->source && !driver->source->isLive();
}

std::optional<double> recordingStart() {
    const platform::CaptureDriver* driver = watchedDriver();
    return driver != nullptr && driver->source ? driver->source->creationSeconds() : std::nullopt;
}

void act(const FrameVerdict& verdict, const EveryVehicleAnalysis& analysis, KeptFrames& kept,
         survey::TrafficSurvey& survey) {
    if (verdict.keepFrame) kept.keep(verdict.frame, pipeline::now, pipeline::frameImage, lastFrameExtras());
    if (verdict.learnt || verdict.learntAgain) reportLearnt(analysis, verdict.learntAgain);
    takePictures(verdict.pictures, kept, analysis, survey);
    kept.dropBefore(verdict.oldestNeeded);
    survey.looked(pipeline::now, positionInRecording(), !analysis.figures().learning, verdict.departed);
}

}  // namespace

int runEveryVehicleLoop() {
    EveryVehicleAnalysis analysis(detectionWindow, triggerOnAnyMotion == 0);
    KeptFrames kept;
    survey::TrafficSurvey survey(imagesSaveDirectory, watchingARecording(), recordingStart());
    survey::publishSurveyOnMqtt();
    platform::MSG message{};
    while (takeNextFrame(message)) {
        const analysis::everyvehicle::GrayFrame gray{pipeline::currentImage.data(),
                                                     pipeline::frameImage.width, pipeline::frameImage.height,
                                                     pipeline::frameImage.pixels};
        act(analysis.look(gray, pipeline::now), analysis, kept, survey);
        paintWatchDisplay(analysis.figures());
    }
    // A vehicle still in the window when watching ends is pictured too.
    const FrameVerdict& last = analysis.lastLook();
    takePictures(last.pictures, kept, analysis, survey);
    survey.finish(last.departed);
    platform::console::print("winmain returning\n");
    return static_cast<int>(message.wParam);
}

}  // namespace app
