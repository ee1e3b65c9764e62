// The built-in scene's hard conditions: the camera shaking in the wind, the
// lamps of the night, rain, soft clouds, dusk and the infrared switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_source.h"

namespace {

using platform::SyntheticSource;
using platform::VehicleVisit;
using platform::synthetic::pictureHeight;
using platform::synthetic::pictureRowBytes;
using platform::synthetic::pictureWidth;
using platform::synthetic::ShakeOffset;

std::unique_ptr<SyntheticSource> makeScene(const std::string& options) {
    std::string failure;
    auto source = platform::makeSyntheticSource(options, std::nullopt, failure);
    EXPECT_NE(source, nullptr) << failure;
    return std::unique_ptr<SyntheticSource>(dynamic_cast<SyntheticSource*>(source.release()));
}

int green(const std::vector<std::uint8_t>& picture, int column, int row) {
    return picture[static_cast<std::size_t>(row) * pictureRowBytes + column * 3 + 1];
}

// How far `shaken` differs from `still` moved by (dx, dy), over the middle
// of the picture: bilinear, as an independent check of the renderer's own.
double mismatch(const std::vector<std::uint8_t>& still, const std::vector<std::uint8_t>& shaken, double dx,
                double dy) {
    double sum = 0;
    int count = 0;
    for (int row = 120; row < 360; row += 2) {
        for (int column = 160; column < 480; column += 2) {
            const double x = column - dx, y = row - dy;
            const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
            const double fx = x - x0, fy = y - y0;
            const double value =
                (1 - fy) * ((1 - fx) * green(still, x0, y0) + fx * green(still, x0 + 1, y0)) +
                fy * ((1 - fx) * green(still, x0, y0 + 1) + fx * green(still, x0 + 1, y0 + 1));
            sum += std::abs(value - green(shaken, column, row));
            ++count;
        }
    }
    return sum / count;
}

// The displacement that best explains `shaken`: whole pixels first, then tenths.
ShakeOffset measuredOffset(const std::vector<std::uint8_t>& still, const std::vector<std::uint8_t>& shaken) {
    ShakeOffset best{0, 0};
    double least = 1e9;
    const auto tryAround = [&](ShakeOffset centre, double reach, double step) {
        const ShakeOffset from = centre;
        for (double dy = -reach; dy <= reach + 1e-9; dy += step) {
            for (double dx = -reach; dx <= reach + 1e-9; dx += step) {
                const double error = mismatch(still, shaken, from.dx + dx, from.dy + dy);
                if (error < least) {
                    least = error;
                    best = {from.dx + dx, from.dy + dy};
                }
            }
        }
    };
    tryAround(best, 7, 1);
    tryAround(best, 1, 0.1);
    return best;
}

TEST(SyntheticWeather, TheShakenPictureMovesByTheOffsetTheSceneReports) {
    auto still = makeScene(":3:empty");
    auto shaken = makeScene(":3:empty:shake");
    // The frames of the strongest and of a calm displacement in the first minute.
    std::int64_t strongest = 0, calmest = 0;
    for (std::int64_t frame = 0; frame < 1500; ++frame) {
        const auto size = [&](std::int64_t f) {
            return std::hypot(shaken->shakeOffset(f).dx, shaken->shakeOffset(f).dy);
        };
        if (size(frame) > size(strongest)) strongest = frame;
        if (size(frame) < size(calmest)) calmest = frame;
    }
    ASSERT_GT(std::hypot(shaken->shakeOffset(strongest).dx, shaken->shakeOffset(strongest).dy), 2.0);
    for (const std::int64_t frame : {strongest, calmest, strongest + 7}) {
        const ShakeOffset truth = shaken->shakeOffset(frame);
        const std::vector<std::uint8_t> stillFrame = still->nativeFrame(frame);
        const ShakeOffset measured = measuredOffset(stillFrame, shaken->nativeFrame(frame));
        EXPECT_NEAR(measured.dx, truth.dx, 0.15) << "frame " << frame;
        EXPECT_NEAR(measured.dy, truth.dy, 0.15) << "frame " << frame;
    }
    // What comes in at the edge is the picture mirrored, not black.
    const std::vector<std::uint8_t>& edge = shaken->nativeFrame(strongest);
    for (int row = 0; row < pictureHeight; row += 40) {
        EXPECT_GT(green(edge, 0, row), 20);
        EXPECT_GT(green(edge, pictureWidth - 1, row), 20);
    }
}

TEST(SyntheticWeather, TheShakeHasCalmAndGustySpellsOfSeconds) {
    auto scene = makeScene(":11:shake");
    // The largest step from one frame to the next within each second of 20 minutes.
    std::vector<double> steps;
    double largest = 0;
    for (std::int64_t second = 0; second < 1200; ++second) {
        double most = 0;
        for (std::int64_t frame = second * 25; frame < second * 25 + 25; ++frame) {
            const ShakeOffset a = scene->shakeOffset(frame), b = scene->shakeOffset(frame + 1);
            most = std::max(most, std::hypot(b.dx - a.dx, b.dy - a.dy));
        }
        steps.push_back(most);
        largest = std::max(largest, most);
    }
    EXPECT_GT(largest, 3.0);
    EXPECT_LT(largest, 5.0);
    const auto longestRun = [&steps](auto condition) {
        int run = 0, longest = 0;
        for (const double step : steps) longest = std::max(longest, run = condition(step) ? run + 1 : 0);
        return longest;
    };
    EXPECT_GE(longestRun([](double step) { return step > 1.0; }), 3) << "a gusty spell of seconds";
    EXPECT_GE(longestRun([](double step) { return step < 0.3; }), 10) << "a calm spell";
    const auto calm = std::count_if(steps.begin(), steps.end(), [](double step) { return step < 0.3; });
    EXPECT_GT(calm, 300);
    EXPECT_LT(calm, 1100);
}

TEST(SyntheticWeather, VisitsFollowTheShakenBodies) {
    const auto plain = makeScene(":7")->detectionWindowVisits(0, 7500);
    const auto shaken = makeScene(":7:shake")->detectionWindowVisits(0, 7500);
    ASSERT_EQ(plain.size(), shaken.size());
    bool anyMoved = false;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_LE(std::abs(plain[i].firstFrame - shaken[i].firstFrame), 2);
        EXPECT_LE(std::abs(plain[i].lastFrame - shaken[i].lastFrame), 2);
        anyMoved = anyMoved || plain[i].firstFrame != shaken[i].firstFrame ||
                   plain[i].lastFrame != shaken[i].lastFrame;
    }
    EXPECT_TRUE(anyMoved);
}

double windowMean(const std::vector<std::uint8_t>& picture, int channel) {
    double sum = 0;
    int count = 0;
    for (int row = platform::synthetic::detectionWindowTopRow;
         row <= platform::synthetic::detectionWindowBottomRow; ++row) {
        for (int column = 200; column < 500; ++column, ++count)
            sum += picture[static_cast<std::size_t>(row) * pictureRowBytes + column * 3 + channel];
    }
    return sum / count;
}

TEST(SyntheticWeather, AtNightABeamLightsTheWindowBeforeTheVehicleComes) {
    const std::string night = ":3:night=0-100";
    auto lit = makeScene(night + ":nightlights");
    auto dark = makeScene(night);
    const std::vector<VehicleVisit> visits = lit->detectionWindowVisits(0, 2000);
    EXPECT_EQ(visits.size(), dark->detectionWindowVisits(0, 2000).size());
    const auto leads = lit->beamLeads(0, 2000);
    ASSERT_GE(leads.size(), 3u);
    int checked = 0;
    EXPECT_TRUE(dark->beamLeads(0, 2000).empty());
    for (const auto& lead : leads) {
        const std::int64_t frame = lead.lastFrame - 5;
        const bool inAVisit = std::any_of(visits.begin(), visits.end(), [frame](const VehicleVisit& visit) {
            return frame >= visit.firstFrame && frame <= visit.lastFrame;
        });
        if (inAVisit) continue;  // another vehicle's body is there
        ++checked;
        const std::vector<std::uint8_t> without = dark->nativeFrame(frame);
        const std::vector<std::uint8_t>& with = lit->nativeFrame(frame);
        // The road in the window brighter by its lamps' white-yellow light alone.
        EXPECT_GT(windowMean(with, 1) - windowMean(without, 1), 8.0) << "frame " << frame;
        EXPECT_GT(windowMean(with, 2), windowMean(with, 0)) << "frame " << frame;
        EXPECT_LT(windowMean(without, 1), 4.0);
        // Its body arrives within seconds, after the lead.
        const auto next = std::find_if(visits.begin(), visits.end(), [frame](const VehicleVisit& visit) {
            return visit.firstFrame > frame;
        });
        ASSERT_NE(next, visits.end());
        EXPECT_LE(next->firstFrame - frame, 10);
    }
    EXPECT_GE(checked, 3);
}

TEST(SyntheticWeather, EveryConditionDrawsAFrameTheSameInAnyOrder) {
    for (const std::string options : {":5:shake:softclouds:dusk", ":5:night=0-200:nightlights:wet:irswitch",
                                      ":5:rain:night:nightlights"}) {
        auto inOrder = makeScene(options);
        auto outOfOrder = makeScene(options);
        const std::vector<std::uint8_t> first = inOrder->nativeFrame(2100);
        const std::vector<std::uint8_t> later = inOrder->nativeFrame(4600);
        outOfOrder->nativeFrame(9000);
        EXPECT_EQ(outOfOrder->nativeFrame(4600), later) << options;
        EXPECT_EQ(outOfOrder->nativeFrame(2100), first) << options;
        EXPECT_NE(first, makeScene(":5")->nativeFrame(2100)) << options;
    }
}

}  // namespace
