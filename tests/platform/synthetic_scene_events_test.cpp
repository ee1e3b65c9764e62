// The synthetic scene's optional events: cloud shadows, exposure steps, a
// queue standing in the detection window, and close followers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "platform/sources/synthetic/synthetic_clouds.h"
#include "platform/sources/synthetic/synthetic_exposure.h"
#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_source.h"
#include "platform/sources/synthetic/synthetic_traffic.h"

namespace {

using platform::QueueStop;
using platform::SyntheticSource;
using platform::VehicleVisit;
using namespace platform::synthetic;

constexpr double framesPerSecond = 25.0;

std::unique_ptr<SyntheticSource> makeScene(const std::string& options) {
    std::string failure;
    std::unique_ptr<platform::FrameSource> source =
        platform::makeSyntheticSource(options, std::nullopt, failure);
    EXPECT_NE(source, nullptr) << failure;
    return std::unique_ptr<SyntheticSource>(dynamic_cast<SyntheticSource*>(source.release()));
}

std::int64_t firstFrameFrom(double seconds) {
    return static_cast<std::int64_t>(std::ceil(seconds * framesPerSecond));
}

// Mean level of picture columns first..last-1, all rows and channels.
double meanLevel(const std::vector<std::uint8_t>& picture, int first = 0, int last = pictureWidth) {
    std::int64_t sum = 0;
    for (int row = 0; row < pictureHeight; ++row) {
        const auto begin = picture.begin() + row * pictureRowBytes;
        sum = std::accumulate(begin + first * 3, begin + last * 3, sum);
    }
    return static_cast<double>(sum) / (static_cast<double>(pictureHeight) * (last - first) * 3);
}

int largestDifference(const std::vector<std::uint8_t>& one, const std::vector<std::uint8_t>& other,
                      int firstColumn) {
    int largest = 0;
    for (int row = 0; row < pictureHeight; ++row) {
        for (int byte = firstColumn * 3; byte < pictureRowBytes; ++byte) {
            const std::size_t at = static_cast<std::size_t>(row) * pictureRowBytes + byte;
            largest = std::max(largest, std::abs(one[at] - other[at]));
        }
    }
    return largest;
}

TEST(SyntheticExposure, TheEmptyRoadJumpsByTheStepFactorAndIsSteadyBetweenSteps) {
    const std::vector<ExposureStep> steps = exposureSteps(4, 0.0, 300.0);
    ASSERT_GE(steps.size(), 7u);  // one every 15 to 40 s
    auto scene = makeScene(":4:empty:exposure");
    double previous = 0.0;
    for (const ExposureStep& step : steps) {
        EXPECT_GE(step.seconds - previous, 15.0);
        EXPECT_LE(step.seconds - previous, 40.0);
        const double factor = step.gainAfter / step.gainBefore;
        EXPECT_TRUE((factor >= 0.8 && factor < 0.95) || (factor > 1.05 && factor <= 1.25)) << factor;
        const std::int64_t at = firstFrameFrom(step.seconds);
        const double steady = meanLevel(scene->nativeFrame(firstFrameFrom((previous + step.seconds) / 2)));
        const double earlier = meanLevel(scene->nativeFrame(at - 2));
        const double before = meanLevel(scene->nativeFrame(at - 1));
        const double after = meanLevel(scene->nativeFrame(at));
        EXPECT_NEAR(after / before, factor, 0.003) << "step at " << step.seconds << " s";
        EXPECT_NEAR(earlier, before, 0.05) << "step at " << step.seconds << " s";
        EXPECT_NEAR(steady / before, 1.0, 0.005) << "step at " << step.seconds << " s";
        previous = step.seconds;
    }
}

TEST(SyntheticClouds, AShadowSweepsAcrossAndTheLightDipsAndRecoversGradually) {
    const std::vector<CloudShadow> shadows = cloudShadows(4, 0.0, 300.0);
    ASSERT_GE(shadows.size(), 5u);  // one every 20 to 60 s

    const CloudShadow& shadow = shadows.front();
    auto scene = makeScene(":4:empty:clouds");
    const std::int64_t first = firstFrameFrom(shadow.startSeconds - 1.0);
    const std::int64_t last = firstFrameFrom(shadow.endSeconds() + 1.0);
    const double lit = meanLevel(scene->nativeFrame(first));
    double previous = lit, lowest = lit, largestChange = 0.0;
    int fading = 0;  // frames partly in the shadow
    for (std::int64_t frame = first + 1; frame <= last; ++frame) {
        const double level = meanLevel(scene->nativeFrame(frame));
        largestChange = std::max(largestChange, std::abs(level - previous));
        lowest = std::min(lowest, level);
        const double dip = (lit - level) / (lit * shadow.depth);
        fading += dip > 0.1 && dip < 0.9;
        previous = level;
    }
    EXPECT_NEAR(lowest / lit, 1.0 - shadow.depth, 0.01);
    EXPECT_NEAR(previous / lit, 1.0, 0.005);
    EXPECT_LT(largestChange, 1.0);
    EXPECT_GE(fading, 2 * 40);  // falls and recovers over about two seconds each

    // Halfway through the sweep, the left of the picture is in the shadow and the right still lit.
    const std::int64_t halfway = firstFrameFrom(shadow.startSeconds + cloudEdgeSeconds);
    const std::vector<std::uint8_t> swept = scene->nativeFrame(halfway);
    const std::vector<std::uint8_t>& before = scene->nativeFrame(first);
    EXPECT_LT(meanLevel(swept, 0, 60) / meanLevel(before, 0, 60), 1.0 - 0.9 * shadow.depth);
    EXPECT_GT(meanLevel(swept, 580, 640) / meanLevel(before, 580, 640), 0.99);
}

TEST(SyntheticQueue, ItsFirstVehicleStandsStillInTheWindowWithOneOrTwoBehind) {
    const std::int64_t frames = 25 * 600;
    auto scene = makeScene(":4:queue");
    const std::vector<QueueStop> stops = scene->queueStops(0, frames - 1);
    ASSERT_EQ(stops.size(), 2u);  // one in each stretch of 300 s
    const std::vector<VehicleVisit> visits = scene->detectionWindowVisits(0, frames - 1);
    for (const QueueStop& stop : stops) {
        const double seconds = (stop.lastFrame - stop.firstFrame) / framesPerSecond;
        EXPECT_GE(seconds, 60.0);
        EXPECT_LE(seconds, 75.0);
        EXPECT_TRUE(std::any_of(visits.begin(), visits.end(),
                                [&stop](const VehicleVisit& visit) {
                                    return visit.firstFrame < stop.firstFrame &&
                                           visit.lastFrame > stop.lastFrame;
                                }))
            << "stop at frame " << stop.firstFrame;
        // Once the vehicles behind have stopped too, only noise and the slow
        // drift of daylight change right of the left lane's vehicles and shadows.
        const std::vector<std::uint8_t> early = scene->nativeFrame(stop.firstFrame + 25 * 13);
        EXPECT_LE(largestDifference(early, scene->nativeFrame(stop.lastFrame - 25), 340), 12);
    }

    SceneOptions options;
    options.seed = 4;
    options.queue = true;
    std::vector<Vehicle> lane;
    scheduleStretch(options, 0, lane);
    std::erase_if(lane, [](const Vehicle& vehicle) { return vehicle.lane != Lane::right; });
    const auto first = std::find_if(lane.begin(), lane.end(), [](const Vehicle& vehicle) {
        return vehicle.halt && vehicle.halt->frontDepth < entryDepth();
    });
    ASSERT_NE(first, lane.end());
    const Halt halt = *first->halt;
    const RowSpan standing = bodyRows(*first, halt.fromSeconds);
    EXPECT_LE(standing.first, 150);
    EXPECT_GE(standing.last, 180);
    int behind = 0;
    for (const Vehicle& vehicle : lane) {
        if (&vehicle == &*first) continue;
        // The next one stands in the picture above the window.
        if (vehicle.halt && ++behind == 1) {
            const RowSpan next = bodyRows(vehicle, halt.toSeconds - 1.0);
            EXPECT_FALSE(next.empty());
            EXPECT_LT(next.last, detectionWindowTopRow);
        }
        for (double seconds = halt.fromSeconds; seconds <= halt.toSeconds; seconds += 0.2) {
            EXPECT_FALSE(inDetectionWindow(vehicle, seconds)) << "at " << seconds << " s";
        }
    }
    EXPECT_GE(behind, 1);
    EXPECT_LE(behind, 2);
    for (double seconds = halt.fromSeconds; seconds <= halt.toSeconds; seconds += 1.0) {
        const RowSpan rows = bodyRows(*first, seconds);
        EXPECT_EQ(rows.first, standing.first);
        EXPECT_EQ(rows.last, standing.last);
    }
}

// The share of the vehicles of stretches 0..3 that arrive within `seconds`
// of the one before them in their lane; checks the safety gap to it too.
double closeFollowerShare(const SceneOptions& options, double seconds) {
    int close = 0, all = 0;
    for (std::int64_t stretch = 0; stretch < 4; ++stretch) {
        std::vector<Vehicle> vehicles;
        scheduleStretch(options, stretch, vehicles);
        for (auto vehicle = vehicles.begin(); vehicle != vehicles.end(); ++vehicle) {
            ++all;
            const auto ahead =
                std::find_if(std::make_reverse_iterator(vehicle), vehicles.rend(),
                             [&vehicle](const Vehicle& other) { return other.lane == vehicle->lane; });
            if (ahead == vehicles.rend()) continue;
            const double headway = vehicle->arrivalSeconds - ahead->arrivalSeconds;
            close += headway <= seconds;
            if (headway < 8.0) {
                EXPECT_LE(vehicle->speed, ahead->speed);
                EXPECT_GE(headway * ahead->speed, ahead->length + 3.0 - 1e-9);
            }
        }
    }
    return static_cast<double>(close) / all;
}

TEST(SyntheticFollowers, ManyMoreVehiclesFollowCloselyInTheirLaneKeepingTheirGap) {
    SceneOptions options;
    options.seed = 4;
    const double few = closeFollowerShare(options, 2.0);
    options.followers = true;
    const double many = closeFollowerShare(options, 2.0);
    EXPECT_LT(few, 0.15);
    EXPECT_GT(many, 0.35);
}

std::uint64_t hashOf(const std::vector<std::uint8_t>& bytes, std::uint64_t hash) {
    for (const std::uint8_t byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    return hash;
}

bool sameVisits(const std::vector<VehicleVisit>& one, const std::vector<VehicleVisit>& other) {
    return std::equal(
        one.begin(), one.end(), other.begin(), other.end(), [](const VehicleVisit& a, const VehicleVisit& b) {
            return a.firstFrame == b.firstFrame && a.lastFrame == b.lastFrame && a.tone == b.tone;
        });
}

TEST(SyntheticSceneEvents, NoneChangesTheSceneWithoutThem) {
    // The frames of seed 7 as they were before the options existed.
    auto scene = makeScene(":7");
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::int64_t frame = 0; frame < 25 * 900; frame += 997)
        hash = hashOf(scene->nativeFrame(frame), hash);
    EXPECT_EQ(hash, 6380348954548099150u);

    // Lighting changes the brightness only.
    const std::vector<VehicleVisit> visits = scene->detectionWindowVisits(0, 25 * 600);
    EXPECT_TRUE(sameVisits(makeScene(":7:clouds:exposure")->detectionWindowVisits(0, 25 * 600), visits));
    EXPECT_FALSE(sameVisits(makeScene(":7:queue")->detectionWindowVisits(0, 25 * 600), visits));
}

}  // namespace
