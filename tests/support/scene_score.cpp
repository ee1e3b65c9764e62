#include "support/scene_score.h"

#include <memory>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "app/regions.h"
#include "pipeline/frame_pipeline.h"

namespace testing_support {

bool inVisit(const platform::VehicleVisit& visit, std::int64_t frame) {
    return frame >= visit.firstFrame - visitToleranceFrames &&
           frame <= visit.lastFrame + visitToleranceFrames;
}

SceneScore scorePictures(std::vector<platform::VehicleVisit> visits,
                         const std::vector<std::int64_t>& pictures) {
    SceneScore result;
    result.visits = std::move(visits);
    result.pictures = pictures;
    std::vector<bool> pictured(result.visits.size(), false);
    for (const std::int64_t frame : pictures) {
        bool any = false;
        bool fresh = false;
        for (std::size_t i = 0; i < result.visits.size(); ++i) {
            if (!inVisit(result.visits[i], frame)) continue;
            any = true;
            fresh = fresh || !pictured[i];
            pictured[i] = true;
        }
        result.extras += any ? 0 : 1;
        result.repeats += any && !fresh ? 1 : 0;
    }
    for (std::size_t i = 0; i < result.visits.size(); ++i) {
        if (pictured[i]) {
            ++result.pictured;
        } else {
            result.missed += " " + std::to_string(result.visits[i].firstFrame) + ".." +
                             std::to_string(result.visits[i].lastFrame);
        }
    }
    return result;
}

SceneScore watchScene(const std::string& options, std::int64_t lastFrame, bool darkVehiclesOnly) {
    constexpr int width = 320;
    constexpr int height = 240;
    std::string failure;
    std::unique_ptr<platform::FrameSource> source =
        platform::makeSyntheticSource(options, std::nullopt, failure);
    auto* scene = dynamic_cast<platform::SyntheticSource*>(source.get());
    if (scene == nullptr || !scene->open(failure)) return {};
    analysis::everyvehicle::EveryVehicleAnalysis analysis(app::detectionWindow, darkVehiclesOnly);
    std::vector<std::uint8_t> dib(platform::dibImageBytes(width, height));
    pipeline::GrayImage gray{};
    pipeline::GrayImage copy{};
    std::vector<std::int64_t> pictures;
    bool numberedInOrder = true;
    for (std::int64_t frame = 0; frame <= lastFrame; ++frame) {
        std::int64_t due = 0;
        scene->grab(frame * 40'000'000, width, height, dib.data(), due);
        pipeline::convertReversed(dib.data(), width * height, gray.data(), copy.data());
        const auto& verdict =
            analysis.look({gray.data(), width, height, dib.data()}, static_cast<double>(frame) / 25);
        numberedInOrder = numberedInOrder && verdict.frame == frame;
        for (const auto& picture : verdict.pictures) {
            numberedInOrder = numberedInOrder && picture.frame <= frame;
            pictures.push_back(picture.frame);
        }
    }
    for (const auto& picture : analysis.lastLook().pictures) pictures.push_back(picture.frame);
    SceneScore result = scorePictures(scene->detectionWindowVisits(0, lastFrame), pictures);
    result.numberedInOrder = numberedInOrder;
    return result;
}

}  // namespace testing_support
