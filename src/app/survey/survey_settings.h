#pragma once
// The survey's settings: the road calibration (the key ROAD_POINT X,Y,U,V
// four times in tavomotion.ini, or --road-point four times, which replaces
// the file's), where the camera stands over the road (CAMERA_FOOT U,V or
// --camera-foot U,V, optional) and the length of the counting intervals
// (COUNT_MINUTES).
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "analysis/survey/road_plane.h"
#include "app/survey/road_grid.h"

namespace app::survey {

constexpr int defaultCountMinutes = 15;

struct SurveySettings {
    std::vector<std::string> roadPointsFromFile;
    std::vector<std::string> roadPointsFromCommandLine;
    std::string cameraFootFromFile;
    std::string cameraFootFromCommandLine;
    int countMinutes = defaultCountMinutes;
    bool countMinutesGiven = false;
    std::string countMinutesText;
    // Set by settle(): the road plane, when calibrated.
    std::optional<analysis::survey::RoadPlane> roadPlane;
    std::vector<GridPixel> gridPixels;
};

extern SurveySettings settings;

// Reads the value of a survey key of tavomotion.ini; false for any other key.
bool applySurveyKey(std::FILE* file, const char* token);

// The road plane of four "X,Y,U,V" texts; an error text when they are not
// four, not numbers, or make no plane.
std::string roadPlaneOf(const std::vector<std::string>& texts,
                        std::optional<analysis::survey::RoadPlane>& plane);

// The plane with the camera's foot of "U,V" when it is given; an error
// text when it is not two numbers or there is no plane.
std::string withCameraFoot(const std::string& text, std::optional<analysis::survey::RoadPlane>& plane);

// Checks the settings and makes the road plane; an error text when they
// are wrong.
std::string settle();

void resetSurveySettings();

}  // namespace app::survey
