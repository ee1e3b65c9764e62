// The survey's measures on the built-in road scene, watched through the real
// every-vehicle analysis, against the schedule the scene is drawn from: each
// vehicle's direction, speed, length and class.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "analysis/every_vehicle/every_vehicle_analysis.h"
#include "analysis/survey/passage_measures.h"
#include "analysis/survey/passage_pieces.h"
#include "app/regions.h"
#include "pipeline/frame_pipeline.h"
#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_source.h"
#include "platform/sources/synthetic/synthetic_traffic.h"

namespace {

using analysis::everyvehicle::EveryVehicleAnalysis;
using analysis::everyvehicle::VehiclePassage;
using analysis::survey::CalibrationPoint;
using analysis::survey::Direction;
using analysis::survey::PassageMeasures;
using analysis::survey::RoadPlane;
using analysis::survey::VehicleClass;
namespace synthetic = platform::synthetic;

constexpr int width = 320;
constexpr int height = 240;

// The scene's road as the window shows it: metres across from the road's
// axis (U) and from the camera (V), at half the scene's size.
CalibrationPoint sceneRoadPoint(double u, double v) {
    const double row = synthetic::rowAtDepth(v);
    return {{synthetic::columnAt(u, row) / 2, row / 2}, {u, v}};
}

RoadPlane sceneRoadPlane() {
    std::string failure;
    const auto plane = RoadPlane::fromPoints(
        {sceneRoadPoint(-3, 12), sceneRoadPoint(3, 12), sceneRoadPoint(-3, 20), sceneRoadPoint(3, 20)},
        failure);
    EXPECT_TRUE(plane) << failure;
    return *plane;
}

struct Watched {
    std::vector<VehiclePassage> passages;
    std::vector<synthetic::Vehicle> vehicles;
};

Watched watch(const std::string& options, int seconds) {
    std::string failure;
    auto source = platform::makeSyntheticSource(options, std::nullopt, failure);
    auto* scene = dynamic_cast<platform::SyntheticSource*>(source.get());
    EXPECT_TRUE(scene != nullptr && scene->open(failure)) << failure;
    EveryVehicleAnalysis analysis(app::detectionWindow, false);
    std::vector<std::uint8_t> dib(platform::dibImageBytes(width, height));
    pipeline::GrayImage gray{}, copy{};
    Watched watched;
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
        const auto& verdict = analysis.look({gray.data(), width, height}, frame / 25.0);
        gather(verdict.departed, frame / 25.0, false);
    }
    gather(analysis.lastLook().departed, seconds, true);
    const auto sceneOptions = synthetic::parseSceneOptions(options, failure);
    for (std::int64_t stretch = 0; stretch <= synthetic::stretchOf(seconds); ++stretch) {
        std::vector<synthetic::Vehicle> part;
        synthetic::scheduleStretch(*sceneOptions, stretch, part);
        watched.vehicles.insert(watched.vehicles.end(), part.begin(), part.end());
    }
    return watched;
}

// The one vehicle in the window through most of the passage, if there is one.
const synthetic::Vehicle* vehicleOf(const VehiclePassage& passage,
                                    const std::vector<synthetic::Vehicle>& vehicles) {
    const double from = passage.outlines.front().seconds, to = passage.outlines.back().seconds;
    const synthetic::Vehicle* best = nullptr;
    double bestOverlap = 0;
    int overlapping = 0;
    for (const synthetic::Vehicle& vehicle : vehicles) {
        const double overlap =
            std::min(to, synthetic::departureSeconds(vehicle)) - std::max(from, vehicle.arrivalSeconds);
        if (overlap <= 0) continue;
        ++overlapping;
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            best = &vehicle;
        }
    }
    return overlapping == 1 ? best : nullptr;
}

// Clouds sweep over the road: the vehicles the analysis saw alone go the
// right way at their speed, and the counts per minute match the schedule
// within what the analysis tells apart (a close platoon is one passage).
// Lengths and classes are printed, not checked: the scene's camera looks
// level with its axis far above the picture, which the camera foot found
// from the plane does not assume, so they come out long by the roof's lean.
TEST(SurveyMeasures, EachVehicleOfTheSceneMeasuredAgainstItsSchedule) {
    const RoadPlane plane = sceneRoadPlane();
    const Watched watched = watch(":7:clouds", 300);
    int alone = 0, rightWay = 0, speeds = 0, lengthsClose = 0, classesRight = 0;
    double speedErrorSum = 0, worstSpeedError = 0;
    std::vector<int> countedPerMinute(6, 0), scheduledPerMinute(6, 0);
    for (const VehiclePassage& passage : watched.passages) {
        const PassageMeasures m = analysis::survey::measurePassage(passage, &plane, width);
        if (passage.pictureFrame < 0 || !m.direction) continue;  // what the survey logs
        ++countedPerMinute[std::min(5, static_cast<int>(passage.outlines.front().seconds / 60))];
        const synthetic::Vehicle* vehicle = vehicleOf(passage, watched.vehicles);
        if (vehicle == nullptr) continue;
        ++alone;
        rightWay += m.direction == Direction::down ? 1 : 0;
        const double speed = vehicle->speed * 3.6;
        if (m.speedKmh) {
            ++speeds;
            speedErrorSum += std::abs(*m.speedKmh - speed);
            worstSpeedError = std::max(worstSpeedError, std::abs(*m.speedKmh - speed));
        }
        lengthsClose +=
            m.lengthMetres && std::abs(*m.lengthMetres - vehicle->length) <= 0.1 * vehicle->length;
        classesRight += m.vehicleClass == analysis::survey::classify(vehicle->width, vehicle->length, speed);
    }
    for (const synthetic::Vehicle& vehicle : watched.vehicles) {
        if (vehicle.arrivalSeconds < 295)
            ++scheduledPerMinute[std::min(5, static_cast<int>(vehicle.arrivalSeconds / 60))];
    }
    std::printf(
        "%d alone in the window: %d the right way; speed of %d: mean error %.2f, worst %.2f km/h; "
        "length within 10 %%: %d; class right: %d\n",
        alone, rightWay, speeds, speedErrorSum / std::max(speeds, 1), worstSpeedError, lengthsClose,
        classesRight);
    EXPECT_GE(alone, 15);
    EXPECT_GE(rightWay * 10, alone * 9);
    EXPECT_GE(speeds * 10, alone * 9);
    EXPECT_LE(speedErrorSum / speeds, 2.0);
    EXPECT_LE(worstSpeedError, 5.0);
    for (int minute = 0; minute < 5; ++minute)
        EXPECT_NEAR(countedPerMinute[minute], scheduledPerMinute[minute], 2) << "minute " << minute;
}

}  // namespace
