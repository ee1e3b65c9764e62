#include "app/every_vehicle_loop.h"

#include <algorithm>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/app_state.h"
#include "app/every_vehicle_display.h"
#include "app/kept_frames.h"
#include "app/main_loop.h"
#include "app/regions.h"
#include "app/vehicle_pictures.h"
#include "pipeline/frame_image.h"
#include "pipeline/frame_pipeline.h"
#include "platform/console/console.h"
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

void takePictures(const std::vector<PictureDecision>& pictures, const KeptFrames& kept) {
    for (const PictureDecision& picture : pictures) {
        if (const KeptFrame* frame = kept.find(picture.frame))
            saveVehiclePicture(*frame, picture.coverPercent);
    }
}

void act(const FrameVerdict& verdict, const EveryVehicleAnalysis& analysis, KeptFrames& kept) {
    if (verdict.keepFrame) kept.keep(verdict.frame, pipeline::now, pipeline::frameImage, lastFrameExtras());
    if (verdict.learnt || verdict.learntAgain) reportLearnt(analysis, verdict.learntAgain);
    takePictures(verdict.pictures, kept);
    kept.dropBefore(verdict.oldestNeeded);
}

}  // namespace

int runEveryVehicleLoop() {
    EveryVehicleAnalysis analysis(detectionWindow, triggerOnAnyMotion == 0);
    KeptFrames kept;
    platform::MSG message{};
    while (takeNextFrame(message)) {
        const analysis::everyvehicle::GrayFrame gray{pipeline::currentImage.data(),
                                                     pipeline::frameImage.width, pipeline::frameImage.height,
                                                     pipeline::frameImage.pixels};
        act(analysis.look(gray, pipeline::now), analysis, kept);
        paintWatchDisplay(analysis.figures());
    }
    // A vehicle still in the window when watching ends is pictured too.
    takePictures(analysis.lastLook().pictures, kept);
    platform::console::print("winmain returning\n");
    return static_cast<int>(message.wParam);
}

}  // namespace app
