// The survey's measures on the built-in road scene, watched through the real
// every-vehicle analysis, against the schedule the scene is drawn from: each
// vehicle's direction, speed, length and class.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "analysis/survey/passage_measures.h"
#include "analysis/survey/passage_pieces.h"
#include "support/survey_score.h"

namespace {

using analysis::everyvehicle::VehicleOutline;
using analysis::everyvehicle::VehiclePassage;
using analysis::survey::Direction;
using testing_support::scoreSurvey;
using testing_support::SurveyScore;
using testing_support::watchSurvey;

// The survey's traffic at 20 to 120 km/h, of every class, under clouds,
// the left lane's driving away, and people crossing or walking along the
// road: the vehicles the analysis saw alone go the right way at their
// speed, of their length and class, the people go their way on foot, and
// the counts per minute match the schedule within what the analysis tells
// apart (a close platoon is one passage).
TEST(SurveyMeasures, EachVehicleOfTheSceneMeasuredAgainstItsSchedule) {
    constexpr int seconds = 300;
    const SurveyScore tally = scoreSurvey(watchSurvey(":7:survey:clouds:away:walkers", seconds), seconds);
    std::printf("%s", testing_support::surveyFigures(tally).c_str());
    EXPECT_GE(tally.alone, 15);
    EXPECT_GE(tally.goingAway, 4);
    EXPECT_EQ(tally.goingAwayRightWay, tally.goingAway);
    EXPECT_GE(tally.rightWay * 10, tally.alone * 9);
    EXPECT_GE(tally.speeds * 10, tally.alone * 9);
    EXPECT_LE(tally.meanSpeedError(), 2.0);
    EXPECT_LE(tally.worstSpeedError, 5.0);
    // The goal is nine in ten; the two-wheelers' few rows and the fastest
    // cars' two frames of roof keep it at about 26 of 29.
    EXPECT_GE(tally.lengthsClose * 20, tally.alone * 17);
    EXPECT_GE(tally.classesRight * 10, tally.alone * 9);
    EXPECT_EQ(tally.minutesWithinOne, tally.minutes);
    EXPECT_GE(tally.walkers, 3);
    EXPECT_EQ(tally.walkers, tally.walkersScheduled);
    EXPECT_EQ(tally.walkersRightWay, tally.walkers);
    EXPECT_EQ(tally.walkersOnFoot, tally.walkers);
}

// A vehicle's top left corner, in the picture as the window shows it, at a frame.
using Path = std::function<std::pair<double, double>(int frame)>;

// The outlines the analysis gives of a vehicle following `path` through the
// window (picture columns 92 to 238, rows 50 to 116), cut where it
// overhangs; the gray image they are in is mirrored. Its shape is a box,
// or with `slant` a parallelogram whose rows lie that many pixels further
// right each row down, as a vehicle in a slanted lane.
VehiclePassage passageThroughWindow(int width, int height, int frames, const Path& path, double slant = 0) {
    constexpr int frameWidth = 320, left = 92, right = 238, top = 50, bottom = 116;
    VehiclePassage passage;
    for (int frame = 0; frame < frames; ++frame) {
        const auto [x, y] = path(frame);
        VehicleOutline o;
        o.top = bottom, o.bottom = top, o.left = frameWidth, o.right = 0;
        for (int row = std::max(top, static_cast<int>(y));
             row < std::min(bottom, static_cast<int>(y) + height); ++row) {
            const int start = static_cast<int>(x + slant * (row - y));
            const int l = std::max(left, start), r = std::min(right, start + width);
            if (l >= r) continue;
            o.top = std::min(o.top, row), o.bottom = std::max(o.bottom, row + 1);
            o.left = std::min(o.left, frameWidth - r), o.right = std::max(o.right, frameWidth - l);
            o.cutLeft = o.cutLeft || r < start + width;
            o.cutRight = o.cutRight || l > start;
        }
        if (o.top >= o.bottom) continue;
        o.frame = frame;
        o.seconds = frame / 25.0;
        o.cutTop = o.top == top && y < top;
        o.cutBottom = o.bottom == bottom && y + height > bottom;
        passage.outlines.push_back(o);
    }
    return passage;
}

std::optional<Direction> directionOf(const VehiclePassage& passage) {
    return analysis::survey::measurePassage(passage, nullptr, 320).direction;
}

// A lane slanting through the window moves a car further across than down
// it, and its outline, cut by the window's top and bottom, moves down only
// with one edge at a time: it crossed from the top to the bottom, so it went
// down. A car that came in through the bottom and turned out through the
// right side went right.
TEST(SurveyMeasures, TheWayOfAVehicleIsTheWayItCrossedOrLeftTheWindow) {
    const auto slanted = [](int f) { return std::make_pair(230.0 - 1.4 * f, 20.0 + 1.0 * f); };
    EXPECT_EQ(directionOf(passageThroughWindow(30, 26, 130, slanted)), Direction::down);
    const auto upThenRight = [](int f) {
        return f < 40 ? std::make_pair(120.0, 120.0 - 1.5 * f) : std::make_pair(120.0 + 3.0 * (f - 40), 60.0);
    };
    EXPECT_EQ(directionOf(passageThroughWindow(24, 30, 90, upThenRight)), Direction::right);
    // Going away up a slanted lane; a few pixels of it linger after it left.
    VehiclePassage away = passageThroughWindow(
        30, 26, 130, [](int f) { return std::make_pair(230.0 - 1.4 * f, 120.0 - 1.0 * f); });
    for (int i = 1; i <= 3; ++i) {
        VehicleOutline lingering = away.outlines.back();
        lingering.frame += i;
        lingering.seconds += i / 25.0;
        lingering.top = 70, lingering.bottom = 74, lingering.left = 150, lingering.right = 154;
        lingering.cutTop = lingering.cutBottom = lingering.cutLeft = lingering.cutRight = false;
        away.outlines.push_back(lingering);
    }
    EXPECT_EQ(directionOf(away), Direction::up);
}

// A road seen from straight above, 40 pixels a metre across and 10 along.
analysis::survey::RoadPlane topDownRoad() {
    std::string failure;
    const auto plane = analysis::survey::RoadPlane::fromPoints(
        {{{{10, 10}, {0.25, 23}}, {{310, 10}, {7.75, 23}}, {{10, 230}, {0.25, 1}}, {{310, 230}, {7.75, 1}}}},
        failure);
    EXPECT_TRUE(plane) << failure;
    return *plane;
}

// A motorbike in a lane that slants out through the window's left side:
// what shows of it ends at the side, a bottom that stands while the bike
// goes on, which is not where it touches the road. Its speed is that of its
// wheel's contact before.
TEST(SurveyMeasures, ABikeLeavingThroughTheWindowsSideKeepsItsSpeed) {
    const VehiclePassage bike = passageThroughWindow(
        8, 60, 30, [](int f) { return std::make_pair(198.0 - 12 * f, -10.0 + 12 * f); }, -1.0);
    const analysis::survey::RoadPlane plane = topDownRoad();
    const auto measures = analysis::survey::measurePassage(bike, &plane, 320);
    const double truth = std::hypot(12.0 / 40, 12.0 / 10) * 25 * 3.6;
    ASSERT_TRUE(measures.speedKmh);
    EXPECT_NEAR(*measures.speedKmh, truth, 5.0);
    EXPECT_EQ(measures.direction, Direction::down);
}

// Two lights coming down side by side on the same rows, in one picture.
VehiclePassage light(double x, double y, bool lamp) {
    VehiclePassage passage =
        passageThroughWindow(8, 6, 40, [x, y](int f) { return std::make_pair(x, y + 2.0 * f); });
    passage.pictureFrame = 7;
    for (VehicleOutline& o : passage.outlines) {
        o.pixels = (o.bottom - o.top) * (o.right - o.left);
        o.lampPixels = lamp ? o.pixels : 0;
    }
    return passage;
}

// By night a car is its two head lamps, followed apart: one vehicle, as
// wide as both, of a length not seen. By day two small cars side by side in one picture stay
// two, and so do two lamps a car's length apart.
TEST(SurveyMeasures, TwoLampsSideBySideAreOneVehicleTwoCarsAreTwo) {
    using analysis::survey::piecesOfOneVehicle;
    EXPECT_TRUE(piecesOfOneVehicle(light(130, 40, true), light(160, 40, true)));
    const VehiclePassage car = analysis::survey::joinedPieces(light(130, 40, true), light(160, 40, true));
    EXPECT_EQ(car.outlines[10].right - car.outlines[10].left, 38);
    // Its length was not seen: two lamps are not a car 0.6 m long.
    const analysis::survey::RoadPlane plane = topDownRoad();
    const auto measures = analysis::survey::measurePassage(
        analysis::survey::joinedPieces(light(130, 40, true), light(190, 40, true)), &plane, 320);
    EXPECT_GT(measures.widthMetres.value_or(0), 1.2);
    EXPECT_FALSE(measures.lengthMetres);
    EXPECT_FALSE(piecesOfOneVehicle(light(130, 40, false), light(160, 40, false)));
    EXPECT_FALSE(piecesOfOneVehicle(light(130, 40, true), light(160, 20, true)));
}

}  // namespace
