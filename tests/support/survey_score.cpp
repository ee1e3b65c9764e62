#include "support/survey_score.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "analysis/survey/passage_measures.h"
#include "analysis/survey/passage_pieces.h"
#include "app/regions.h"
#include "pipeline/frame_pipeline.h"
#include "platform/sources/synthetic/synthetic_layout.h"

namespace testing_support {
namespace {

using analysis::everyvehicle::VehiclePassage;
using analysis::survey::CalibrationPoint;
using analysis::survey::Direction;
using analysis::survey::PassageMeasures;
using analysis::survey::RoadPlane;
namespace synthetic = platform::synthetic;

constexpr int width = 320;
constexpr int height = 240;

// The scene's road as the window shows it: metres across from the road's
// axis (U) and from the camera (V), at half the scene's size.
CalibrationPoint sceneRoadPoint(double u, double v) {
    const double row = synthetic::rowAtDepth(v);
    return {{synthetic::columnAt(u, row) / 2, row / 2}, {u, v}};
}

// The one vehicle in the window through most of the passage, if there is one.
const platform::VehicleTruth* vehicleOf(const VehiclePassage& passage,
                                        const std::vector<platform::VehicleTruth>& vehicles) {
    const double from = passage.outlines.front().seconds, to = passage.outlines.back().seconds;
    const platform::VehicleTruth* best = nullptr;
    double bestOverlap = 0;
    int overlapping = 0;
    for (const platform::VehicleTruth& vehicle : vehicles) {
        const double overlap =
            std::min(to, vehicle.departureSeconds) - std::max(from, vehicle.arrivalSeconds);
        if (overlap <= 0) continue;
        ++overlapping;
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = &vehicle;
        }
    }
    return overlapping == 1 ? best : nullptr;
}

std::string missLine(const platform::VehicleTruth& vehicle, const PassageMeasures& m) {
    char line[200];
    std::snprintf(
        line, sizeof line,
        "  at %.1f s: %.1f km/h, %.2f m long, %.2f m wide; measured %s %.1f km/h, %.2f m, %.2f m, %s\n",
        vehicle.arrivalSeconds, vehicle.speedKmh, vehicle.length, vehicle.width,
        m.direction ? analysis::survey::directionName(*m.direction) : "-", m.speedKmh.value_or(-1),
        m.lengthMetres.value_or(-1), m.widthMetres.value_or(-1),
        m.vehicleClass ? analysis::survey::className(*m.vehicleClass) : "-");
    return line;
}

Direction directionOf(synthetic::Heading heading) {
    switch (heading) {
        case synthetic::Heading::away:
            return Direction::up;
        case synthetic::Heading::leftward:
            return Direction::left;
        case synthetic::Heading::rightward:
            return Direction::right;
        case synthetic::Heading::toward:
            break;
    }
    return Direction::down;
}

void scoreWalker(const platform::VehicleTruth& walker, const PassageMeasures& m, SurveyScore& score) {
    ++score.walkers;
    score.walkersRightWay += m.direction == directionOf(walker.heading);
    const bool onFoot = m.vehicleClass == analysis::survey::VehicleClass::pedestrian;
    score.walkersOnFoot += onFoot;
    if (!onFoot) score.misses += "  a person on foot:" + missLine(walker, m).substr(1);
}

}  // namespace

RoadPlane sceneRoadPlane() {
    std::string failure;
    const auto plane = RoadPlane::fromPoints(
        {sceneRoadPoint(-3, 12), sceneRoadPoint(3, 12), sceneRoadPoint(-3, 20), sceneRoadPoint(3, 20)},
        failure);
    // The camera stands on the road's axis, where V is 0.
    return plane->withCameraFoot({0, 0});
}

SurveyWatch watchSurvey(const std::string& options, int seconds) {
    std::string failure;
    auto source = platform::makeSyntheticSource(options, std::nullopt, failure);
    auto* scene = dynamic_cast<platform::SyntheticSource*>(source.get());
    SurveyWatch watched;
    if (scene == nullptr || !scene->open(failure)) return watched;
    analysis::everyvehicle::EveryVehicleAnalysis analysis(app::detectionWindow, false);
    std::vector<std::uint8_t> dib(platform::dibImageBytes(width, height));
    pipeline::GrayImage gray{}, copy{};
    analysis::survey::VehicleGathering gathering;
    const auto gather = [&](const std::vector<VehiclePassage>& departed, double now, bool all) {
        gathering.add(departed);
        for (VehiclePassage& vehicle : gathering.gathered(now, all))
            watched.passages.push_back(std::move(vehicle));
    };
    for (std::int64_t frame = 0; frame < seconds * 25; ++frame) {
        std::int64_t due = 0;
        scene->grab(frame * 40'000'000, width, height, dib.data(), due);
        pipeline::convertReversed(dib.data(), width * height, gray.data(), copy.data());
        const auto& verdict = analysis.look({gray.data(), width, height, dib.data()}, frame / 25.0);
        gather(verdict.departed, frame / 25.0, false);
    }
    gather(analysis.lastLook().departed, seconds, true);
    watched.vehicles = scene->vehicleTruths(0, seconds * 25);
    return watched;
}

SurveyScore scoreSurvey(const SurveyWatch& watched, int seconds, double lengthShare) {
    const RoadPlane plane = sceneRoadPlane();
    SurveyScore score;
    const int minutes = seconds / 60;
    std::vector<int> counted(minutes + 1, 0), scheduled(minutes + 1, 0);
    for (const VehiclePassage& passage : watched.passages) {
        const PassageMeasures m = analysis::survey::measurePassage(passage, &plane, width);
        if (passage.pictureFrame < 0 || !m.direction) continue;  // what the survey logs
        ++counted[std::min(minutes, static_cast<int>(passage.outlines.front().seconds / 60))];
        const platform::VehicleTruth* vehicle = vehicleOf(passage, watched.vehicles);
        if (vehicle == nullptr) continue;
        if (vehicle->kind == synthetic::VehicleKind::walker) {
            scoreWalker(*vehicle, m, score);
            continue;
        }
        ++score.alone;
        const bool away = vehicle->heading == synthetic::Heading::away;
        const bool rightWay = m.direction == directionOf(vehicle->heading);
        score.rightWay += rightWay;
        score.goingAway += away;
        score.goingAwayRightWay += away && rightWay;
        bool missed = !rightWay;
        if (m.speedKmh) {
            const double error = std::abs(*m.speedKmh - vehicle->speedKmh);
            ++score.speeds;
            score.speedErrorSum += error;
            score.worstSpeedError = std::max(score.worstSpeedError, error);
            missed = missed || error > 5;
        }
        const bool lengthClose =
            m.lengthMetres && std::abs(*m.lengthMetres - vehicle->length) <= lengthShare * vehicle->length;
        const bool classRight =
            m.vehicleClass == analysis::survey::classify(vehicle->width, vehicle->length, vehicle->speedKmh);
        score.lengthsClose += lengthClose;
        score.classesRight += classRight;
        if (missed || !lengthClose || !classRight) score.misses += missLine(*vehicle, m);
    }
    for (const platform::VehicleTruth& vehicle : watched.vehicles) {
        ++scheduled[std::min(minutes, static_cast<int>(vehicle.arrivalSeconds / 60))];
        score.walkersScheduled += vehicle.kind == synthetic::VehicleKind::walker;
    }
    for (int minute = 0; minute < minutes; ++minute) {
        ++score.minutes;
        score.minutesWithinOne += std::abs(counted[minute] - scheduled[minute]) <= 1;
    }
    return score;
}

std::string surveyFigures(const SurveyScore& score) {
    char line[300];
    std::snprintf(line, sizeof line,
                  "%d alone in the window: %d the right way (going away %d/%d); speed of %d: mean error "
                  "%.2f, worst %.2f km/h; length close: %d; class right: %d; minutes counted within 1: "
                  "%d of %d; people on foot %d of %d: %d the right way, %d as pedestrians\n",
                  score.alone, score.rightWay, score.goingAwayRightWay, score.goingAway, score.speeds,
                  score.meanSpeedError(), score.worstSpeedError, score.lengthsClose, score.classesRight,
                  score.minutesWithinOne, score.minutes, score.walkers, score.walkersScheduled,
                  score.walkersRightWay, score.walkersOnFoot);
    return line;
}

}  // namespace testing_support
