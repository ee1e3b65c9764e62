#include "app/web/survey_chart.h"

#include <ctime>
#include <fstream>
#include <sstream>

#include "app/survey/survey_logs.h"
#include "app/survey/survey_report.h"

namespace app::web {
namespace {

// A day of a busy road; the log itself may hold years.
constexpr std::streamoff tailBytes = 8 << 20;
constexpr int chartWidth = 1200;
constexpr int chartHeight = 820;

std::string logTail(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "";
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    const std::streamoff from = std::max<std::streamoff>(0, size - tailBytes);
    file.seekg(from);
    std::ostringstream text;
    text << file.rdbuf();
    std::string tail = text.str();
    if (from > 0) tail.erase(0, tail.find('\n') + 1);  // the first line is cut
    return tail;
}

double startOfToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    return static_cast<double>(std::mktime(&local));
}

}  // namespace

std::string todaysChartPng(const std::string& saveDirectory) {
    survey::SurveyLog log =
        survey::readSurveyLog(logTail(survey::surveyFilePath(saveDirectory, survey::vehicleLogName)));
    if (!log.positions) {
        const double today = startOfToday();
        std::erase_if(log.vehicles, [today](const survey::LoggedVehicle& v) { return v.at < today; });
    }
    platform::ChartCanvas canvas(chartWidth, chartHeight, {1, 1, 1});
    survey::drawSurveyChart(log, canvas);
    return canvas.pngBytes();
}

}  // namespace app::web
