#pragma once
// tavomotion --report DIR OUT.png: the survey of DIR's vehicle log drawn as
// one PNG for the wall: vehicles per interval and direction stacked by
// class, the speed histogram with mean and v85, and the totals, titled with
// the period covered.
#include <optional>
#include <string>
#include <vector>

#include "platform/chart/chart_canvas.h"

namespace app::survey {

struct LoggedVehicle {
    double at = 0;  // on the report's time line
    std::string direction;
    std::string vehicleClass;
    std::optional<double> speedKmh;
};

struct SurveyLog {
    std::vector<LoggedVehicle> vehicles;
    bool positions = false;  // times are positions in a recording, not local times
};

// The vehicles of a log's text, in the order written; lines that are not
// whole records are left out.
SurveyLog readSurveyLog(const std::string& text);

// Draws the chart of `log`, titled with `title` when not empty.
void drawSurveyChart(const SurveyLog& log, platform::ChartCanvas& canvas);

// Exit status: 0 written; 1, said on standard error, when DIR has no vehicle
// log, it holds no vehicle, or the PNG could not be written.
int writeSurveyReport(const std::string& directory, const std::string& output);

}  // namespace app::survey
