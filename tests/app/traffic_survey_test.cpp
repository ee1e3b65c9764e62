// The survey's files as a user reads them: the road calibration refused when
// wrong, the vehicle log and the interval counts written line by line with
// their numbering resumed, and the report drawn from a small log.
#include "app/survey/traffic_survey.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/picture_log.h"
#include "app/survey/interval_tally.h"
#include "app/survey/survey_logs.h"
#include "app/survey/survey_report.h"
#include "platform/sources/creation_time.h"
#include "support/layer_resets.h"
#include "support/program_runner.h"
#include "support/scratch_directory.h"

namespace {

using analysis::everyvehicle::VehicleOutline;
using analysis::everyvehicle::VehiclePassage;
using testing_support::ScratchDirectory;
namespace fs = std::filesystem;

const std::vector<std::string> roadPoints{"25,120,-3,12", "275,120,3,12", "75,24,-3,20", "225,24,3,20"};

std::string parseError(std::vector<std::string> points) {
    std::vector<std::string> arguments{"0"};
    for (const std::string& point : points) {
        arguments.push_back("--road-point");
        arguments.push_back(point);
    }
    return app::parseCommandLine(arguments).error;
}

TEST(TrafficSurvey, TheRoadCalibrationIsRefusedWhenItMakesNoRoadPlane) {
    EXPECT_EQ(parseError(roadPoints), "");
    EXPECT_NE(parseError({roadPoints[0], roadPoints[1], roadPoints[2]}).find("exactly 4"), std::string::npos);
    EXPECT_NE(parseError({roadPoints[0], roadPoints[1], roadPoints[2], "150,120,0,12"}).find("one line"),
              std::string::npos);
    EXPECT_NE(parseError({roadPoints[0], roadPoints[1], roadPoints[2], "325,24,3,20"}).find("outside"),
              std::string::npos);
    EXPECT_NE(parseError({roadPoints[0], roadPoints[1], roadPoints[2], "225,24,3"}).find("X,Y,U,V"),
              std::string::npos);
    const auto withFoot = [](std::vector<std::string> feet) {
        std::vector<std::string> arguments{"0"};
        for (const std::string& foot : feet) arguments.insert(arguments.end(), {"--camera-foot", foot});
        return app::parseCommandLine(arguments).error;
    };
    EXPECT_EQ(withFoot({"0.5,-2"}), "");
    EXPECT_NE(withFoot({"0.5"}).find("U,V"), std::string::npos);
    EXPECT_NE(withFoot({"0,0", "0,0"}).find("twice"), std::string::npos);
    // From tavomotion.ini, before anything is watched, with exit status 2.
    ScratchDirectory scene;
    scene.write("tavomotion.ini",
                "EVERY_VEHICLE\nROAD_POINT 25,120,-3,12\nROAD_POINT 275,120,3,12\n"
                "ROAD_POINT 75,24,-3,20\nROAD_POINT 150,24,0,20\nROAD_POINT 225,24,3,20\n");
    const auto run =
        testing_support::runProgram({"0", "--source", "synthetic:7", "--fast", "--headless"}, scene.path());
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.standardError.find("exactly 4 road points, not 5"), std::string::npos) << run.standardError;
    EXPECT_FALSE(fs::exists(scene.path() / "motionimage.pgm"));
}

std::vector<std::vector<std::string>> csvLines(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(app::csvFields(line));
    return lines;
}

// The built-in scene's first 32 s: two cars, then a person crossing the
// road. With the road known, the person gets a line and no picture; without
// it, everyone is pictured as before.
TEST(TrafficSurvey, PeopleOnFootAreCountedButNotPictured) {
    ScratchDirectory calibrated, plain;
    std::vector<std::string> arguments{"0",
                                       "--source",
                                       "synthetic:7:survey:walkers:frames=800",
                                       "--fast",
                                       "--headless",
                                       "--every-vehicle",
                                       "--camera-foot",
                                       "0,0"};
    for (const std::string& point : roadPoints) arguments.insert(arguments.end(), {"--road-point", point});
    ASSERT_EQ(testing_support::runProgram(arguments, calibrated.path()).exitStatus, 0);
    const std::vector<std::string> plainArguments(arguments.begin(), arguments.begin() + 6);
    ASSERT_EQ(testing_support::runProgram(plainArguments, plain.path()).exitStatus, 0);
    const auto lines = csvLines(calibrated.read("tavomotion-vehicles.csv"));
    int pedestrians = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const bool onFoot = lines[i][8] == "pedestrian";
        pedestrians += onFoot;
        EXPECT_EQ(lines[i][1].empty(), onFoot) << app::csvLine(lines[i]);
        if (onFoot) {
            EXPECT_LT(std::stod(lines[i][6]), 10.0);
        } else {
            EXPECT_TRUE(fs::exists(calibrated.path() / lines[i][1])) << lines[i][1];
        }
    }
    EXPECT_EQ(pedestrians, 1);
    EXPECT_EQ(lines.size(), 4u);
    const auto countsLines = csvLines(calibrated.read("tavomotion-counts.csv"));
    const auto crossing = std::find_if(countsLines.begin(), countsLines.end(), [](const auto& line) {
        return line[3] == "left" || line[3] == "right";
    });
    ASSERT_NE(crossing, countsLines.end());
    EXPECT_EQ((*crossing)[4], "1");   // pedestrians
    EXPECT_EQ((*crossing)[10], "0");  // no vehicle
    const auto pictures = [](const ScratchDirectory& directory) {
        return std::count_if(
            fs::directory_iterator(directory.path()), fs::directory_iterator(),
            [](const fs::directory_entry& entry) { return entry.path().extension() == ".bmp"; });
    };
    EXPECT_EQ(pictures(calibrated), 2);
    EXPECT_EQ(pictures(plain), 3);
    const auto plainLines = csvLines(plain.read("tavomotion-vehicles.csv"));
    ASSERT_EQ(plainLines.size(), 4u);
    EXPECT_FALSE(plainLines[3][1].empty());
    EXPECT_EQ(plainLines[3][8], "");  // no class without the road
}

// A vehicle driving down the window from `seconds` for a second.
VehiclePassage passageAt(double seconds, std::int64_t pictureFrame) {
    VehiclePassage passage;
    passage.pictureFrame = pictureFrame;
    for (int k = 0; k < 25; ++k) {
        VehicleOutline outline;
        outline.frame = static_cast<std::int64_t>(seconds * 25) + k;
        outline.seconds = seconds + k / 25.0;
        outline.top = 50 + k;
        outline.bottom = 70 + k;
        outline.left = 120;
        outline.right = 150;
        passage.outlines.push_back(outline);
    }
    return passage;
}

// Watches a recording's minutes 0 to `seconds`, learning the first 10 s,
// with a vehicle leaving at each of `departures` (its picture in a save
// directory whose name holds a comma).
void survey(const std::string& directory, double seconds, const std::vector<double>& departures,
            std::optional<double> recordingStart = std::nullopt) {
    app::survey::TrafficSurvey survey(directory, true, recordingStart);
    std::size_t next = 0;
    for (std::int64_t frame = 0; frame <= static_cast<std::int64_t>(seconds * 25); ++frame) {
        const double now = frame / 25.0;
        std::vector<VehiclePassage> departed;
        if (next < departures.size() && now >= departures[next]) {
            survey.pictured(frame, directory + "/tavo_" + std::to_string(next) + ".bmp");
            departed.push_back(passageAt(departures[next++] - 1, frame));
        }
        survey.looked(now, now, now >= 10, departed);
    }
    survey.finish({});
}

TEST(TrafficSurvey, VehicleLogAndCountsAreWrittenLineByLineAndResumed) {
    ScratchDirectory scratch;
    testing_support::resetUpperLayers();
    const std::string directory = (scratch.path() / "north,lane").string();
    fs::create_directory(directory);
    survey(directory, 150, {30, 40, 130});
    // A second run goes on numbering; with no vehicle in one whole interval.
    survey(directory, 200, {20});
    const std::string vehicles = scratch.read("north,lane/tavomotion-vehicles.csv");
    std::vector<std::vector<std::string>> lines;
    std::istringstream text(vehicles);
    for (std::string line; std::getline(text, line);) lines.push_back(app::csvFields(line));
    ASSERT_EQ(lines.size(), 5u) << vehicles;
    EXPECT_EQ(app::csvLine(lines[0]), "vehicle,picture,time,entered,left,direction,speed_kmh,length_m,class");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i][0], std::to_string(i));
        EXPECT_EQ(lines[i][5], "down");
        EXPECT_EQ(lines[i][6], "");  // no calibration: no speed, length or class
    }
    EXPECT_EQ(lines[1][1], directory + "/tavo_0.bmp");
    EXPECT_NE(vehicles.find("\"" + directory + "/tavo_0.bmp\""), std::string::npos);  // quoted: a comma
    EXPECT_EQ(lines[1][3], "29.000");
    EXPECT_EQ(lines[4][3], "19.000");
    EXPECT_TRUE(lines[1][2].find('T') == 10 && lines[1][2].size() == 29) << lines[1][2];
    const std::string counts = scratch.read("north,lane/tavomotion-counts.csv");
    EXPECT_EQ(counts,
              "start,end,watched,direction,pedestrians,two_wheelers,cars,vans,trucks,long_trucks,all,mean_"
              "kmh,v85_kmh\n"
              "0.000,900.000,0.156,down,0,0,0,0,0,0,3,,\n"
              "0.000,900.000,0.211,down,0,0,0,0,0,0,1,,\n")
        << counts;
}

// A recording that states when it was made is counted on the clock's
// quarter hours, its vehicles at their real times, and still with their
// positions in it; one that does not, from its position 0 (above).
TEST(TrafficSurvey, ARecordingsCreationTimePutsItsIntervalsOnTheClock) {
    ScratchDirectory scratch;
    testing_support::resetUpperLayers();
    const std::optional<double> made = platform::parseCreationTime("2026-12-08T10:14:00.000000Z");
    ASSERT_TRUE(made);
    EXPECT_EQ(*made, 1796724840.0);
    EXPECT_EQ(platform::parseCreationTime("2026-12-08 12:14:00.5+02:00"), *made + 0.5);
    EXPECT_EQ(platform::parseCreationTime("2026-12-08T10:14:00"), *made);
    for (const char* wrong : {"", "yesterday", "2026-12-08", "2026-13-08T10:14:00Z", "2026-12-08T10:14:00Q"})
        EXPECT_FALSE(platform::parseCreationTime(wrong)) << wrong;
    const char* zone = std::getenv("TZ");
    const std::string saved = zone != nullptr ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    survey(scratch.path().string(), 150, {30, 100}, made);
    zone != nullptr ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
    tzset();
    const std::string vehicles = scratch.read("tavomotion-vehicles.csv");
    EXPECT_NE(vehicles.find(",2026-12-08T10:14:29.000+00:00,29.000,29.960,down,"), std::string::npos)
        << vehicles;
    EXPECT_NE(vehicles.find(",2026-12-08T10:15:39.000+00:00,99.000,99.960,down,"), std::string::npos)
        << vehicles;
    const std::string counts = scratch.read("tavomotion-counts.csv");
    EXPECT_NE(
        counts.find(
            "\n2026-12-08T10:00:00.000+00:00,2026-12-08T10:15:00.000+00:00,0.056,down,0,0,0,0,0,0,1,,\n"),
        std::string::npos)
        << counts;
    EXPECT_NE(
        counts.find(
            "\n2026-12-08T10:15:00.000+00:00,2026-12-08T10:30:00.000+00:00,0.100,down,0,0,0,0,0,0,1,,\n"),
        std::string::npos)
        << counts;
}

TEST(TrafficSurvey, IntervalsWithoutVehiclesAndTheLastPartOneAreCounted) {
    app::survey::IntervalTally tally(1, true);
    for (int k = 0; k < 5000; ++k) tally.watched(k * 0.04, 0.04);
    analysis::survey::PassageMeasures car;
    car.direction = analysis::survey::Direction::up;
    car.speedKmh = 50;
    car.vehicleClass = analysis::survey::VehicleClass::car;
    tally.count(30, car);
    car.speedKmh = 70;
    tally.count(59.5, car);  // counted in its minute though it leaves after it
    EXPECT_TRUE(tally.closeBefore(65).empty());
    const auto first = tally.closeBefore(70);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(app::csvLine(app::survey::countsFields(first[0])),
              "0.000,60.000,1.000,up,0,0,2,0,0,0,2,60.0,70.0");
    const auto rest = tally.closeAll();
    ASSERT_EQ(rest.size(), 3u);
    EXPECT_EQ(app::csvLine(app::survey::countsFields(rest[0])), "60.000,120.000,1.000,up,0,0,0,0,0,0,0,,");
    EXPECT_EQ(rest[2].start, "180.000");
    EXPECT_NEAR(rest[2].watched, 20.0 / 60, 0.01);
}

TEST(TrafficSurvey, TheReportIsAChartOfTheLog) {
    ScratchDirectory scratch;
    std::string log = "vehicle,picture,time,entered,left,direction,speed_kmh,length_m,class\n";
    const char* classes[] = {"car", "car", "van", "truck", "long-truck", "two-wheeler", "pedestrian", ""};
    for (int i = 0; i < 40; ++i) {
        log += std::to_string(i + 1) + ",pictures/tavo_" + std::to_string(i) +
               ".bmp,2026-12-08T17:" + std::to_string(10 + i) + ":03.125+01:00,,," + (i % 3 ? "down" : "up") +
               "," + std::to_string(30 + i) + ".5,4.5," + classes[i % 8] + "\n";
    }
    scratch.write("tavomotion-vehicles.csv", log + "41,pictures/tavo_40.bmp,2026-12-08T1");
    const std::string output = (scratch.path() / "report.png").string();
    ASSERT_EQ(app::survey::writeSurveyReport(scratch.path().string(), output), 0);
    cairo_surface_t* png = cairo_image_surface_create_from_png(output.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 1200);
    EXPECT_EQ(cairo_image_surface_get_height(png), 820);
    const unsigned char* data = cairo_image_surface_get_data(png);
    const int stride = cairo_image_surface_get_stride(png);
    int inked = 0, coloured = 0;
    for (int y = 0; y < 820; ++y) {
        for (int x = 0; x < 1200; ++x) {
            const unsigned char* p = data + y * stride + x * 4;  // B, G, R, A
            inked += p[0] < 128 && p[1] < 128 && p[2] < 128 ? 1 : 0;
            coloured += std::abs(p[0] - p[2]) > 60 ? 1 : 0;  // the bars
        }
    }
    cairo_surface_destroy(png);
    EXPECT_GT(inked, 2000);
    EXPECT_GT(coloured, 5000);
    EXPECT_EQ(app::survey::readSurveyLog(log).vehicles.size(), 40u);
    EXPECT_EQ(app::survey::writeSurveyReport((scratch.path() / "none").string(), output), 1);
}

}  // namespace
