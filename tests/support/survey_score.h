#pragma once
// The survey's measures on the built-in road scene, watched through the real
// every-vehicle analysis, scored against the schedule the scene is drawn
// from: each vehicle's direction, speed, length and class, and the counts
// per minute.
#include <string>
#include <vector>

#include "analysis/every_vehicle/vehicle_passage.h"
#include "analysis/survey/road_plane.h"
#include "platform/sources/synthetic/synthetic_source.h"

namespace testing_support {

// The scene's exact road, as four road points and the camera's foot.
analysis::survey::RoadPlane sceneRoadPlane();

struct SurveyWatch {
    std::vector<analysis::everyvehicle::VehiclePassage> passages;  // gathered as the survey gathers them
    std::vector<platform::VehicleTruth> vehicles;
};

// Watches the first `seconds` of the scene `options` (what follows "synthetic").
SurveyWatch watchSurvey(const std::string& options, int seconds);

struct SurveyScore {
    int alone = 0;  // logged passages with one scheduled vehicle (not a person) in the window
    int rightWay = 0, goingAway = 0, goingAwayRightWay = 0;
    int speeds = 0, lengthsClose = 0, classesRight = 0;
    double speedErrorSum = 0, worstSpeedError = 0;
    int minutesWithinOne = 0, minutes = 0;
    int walkers = 0, walkersRightWay = 0, walkersOnFoot = 0;  // logged alone in the window
    int walkersScheduled = 0;
    std::string misses;  // a line for each measure off its truth

    double meanSpeedError() const { return speeds > 0 ? speedErrorSum / speeds : 0; }
};

// `lengthShare`: how close a length must be, as a share of the true one.
SurveyScore scoreSurvey(const SurveyWatch& watched, int seconds, double lengthShare = 0.1);
std::string surveyFigures(const SurveyScore& score);

}  // namespace testing_support
