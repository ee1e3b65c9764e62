#include "app/survey/survey_settings.h"

#include <cstring>

#include "platform/console/console.h"

namespace app::survey {

using analysis::survey::CalibrationPoint;
using analysis::survey::RoadPlane;

SurveySettings settings;

namespace {

bool validCountMinutes(const std::string& text, int& minutes) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    minutes = std::stoi(text);
    return minutes >= 1 && minutes <= 60 && 60 % minutes == 0;
}

}  // namespace

bool applySurveyKey(std::FILE* file, const char* token) {
    char value[200] = "";
    if (std::strcmp(token, "ROAD_POINT") == 0) {
        static_cast<void>(std::fscanf(file, "%199s", value));
        settings.roadPointsFromFile.emplace_back(value);
        platform::console::print("road point %s\n", value);
        return true;
    }
    if (std::strcmp(token, "CAMERA_FOOT") == 0) {
        static_cast<void>(std::fscanf(file, "%199s", value));
        settings.cameraFootFromFile = value;
        platform::console::print("camera foot %s\n", value);
        return true;
    }
    if (std::strcmp(token, "COUNT_MINUTES") == 0) {
        static_cast<void>(std::fscanf(file, "%199s", value));
        settings.countMinutesGiven = true;
        settings.countMinutesText = value;
        platform::console::print("counting every %s minutes\n", value);
        return true;
    }
    return false;
}

std::string roadPlaneOf(const std::vector<std::string>& texts, std::optional<RoadPlane>& plane) {
    if (texts.size() != analysis::survey::calibrationPoints)
        return "the road calibration needs exactly 4 road points, not " + std::to_string(texts.size());
    std::array<CalibrationPoint, analysis::survey::calibrationPoints> points;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (!analysis::survey::parseCalibrationPoint(texts[i], points[i]))
            return "a road point is X,Y,U,V (four numbers), not '" + texts[i] + "'";
    }
    std::string failure;
    plane = RoadPlane::fromPoints(points, failure);
    return plane ? "" : failure;
}

std::string withCameraFoot(const std::string& text, std::optional<RoadPlane>& plane) {
    if (text.empty()) return "";
    if (!plane) return "the camera's foot needs the road calibration (four road points)";
    analysis::survey::RoadPoint foot;
    if (!analysis::survey::parseRoadPoint(text, foot))
        return "the camera's foot is U,V (two numbers), not '" + text + "'";
    plane = plane->withCameraFoot(foot);
    return "";
}

std::string settle() {
    if (settings.countMinutesGiven && !validCountMinutes(settings.countMinutesText, settings.countMinutes))
        return "COUNT_MINUTES needs a number of minutes from 1 to 60 that divides the hour, not '" +
               settings.countMinutesText + "'";
    const std::vector<std::string>& texts = settings.roadPointsFromCommandLine.empty()
                                                ? settings.roadPointsFromFile
                                                : settings.roadPointsFromCommandLine;
    const std::string& foot = settings.cameraFootFromCommandLine.empty() ? settings.cameraFootFromFile
                                                                         : settings.cameraFootFromCommandLine;
    if (texts.empty() && foot.empty()) return "";
    if (!texts.empty()) {
        const std::string failure = roadPlaneOf(texts, settings.roadPlane);
        if (!failure.empty()) return "ROAD_POINT: " + failure;
    }
    if (const std::string failure = withCameraFoot(foot, settings.roadPlane); !failure.empty())
        return "CAMERA_FOOT: " + failure;
    settings.gridPixels = roadGridPixels(*settings.roadPlane);
    return "";
}

void resetSurveySettings() { settings = SurveySettings{}; }

}  // namespace app::survey
