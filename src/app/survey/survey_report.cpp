#include "app/survey/survey_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>

#include "app/picture_log.h"
#include "app/survey/survey_logs.h"
#include "app/survey/survey_records.h"

namespace app::survey {
namespace {

using platform::ChartCanvas;
using platform::ChartColour;
using platform::TextAlign;

constexpr int chartWidth = 1200;
constexpr int chartHeight = 820;
constexpr std::size_t mostBars = 96;
constexpr double speedBinKmh = 5;

constexpr ChartColour ink{0.15, 0.15, 0.18};
constexpr ChartColour faint{0.82, 0.83, 0.86};
constexpr ChartColour paper{1, 1, 1};
constexpr ChartColour meanColour{0.80, 0.15, 0.15};

struct ClassStyle {
    const char* name;
    const char* label;
    ChartColour colour;
};

// In stacking order; the last holds vehicles without a class.
constexpr std::array<ClassStyle, 6> vehicleClasses{{
    {"two-wheeler", "two-wheelers", {0.95, 0.65, 0.15}},
    {"car", "cars", {0.25, 0.50, 0.80}},
    {"van", "vans", {0.45, 0.70, 0.35}},
    {"truck", "trucks", {0.60, 0.35, 0.65}},
    {"long-truck", "long trucks", {0.35, 0.20, 0.40}},
    {"", "unclassified", {0.65, 0.65, 0.65}},
}};

std::size_t classIndex(const std::string& name) {
    for (std::size_t i = 0; i + 1 < vehicleClasses.size(); ++i) {
        if (name == vehicleClasses[i].name) return i;
    }
    return vehicleClasses.size() - 1;
}

std::optional<double> numberIn(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

// "2026-12-08T17:05:03.125+01:00" as seconds since the epoch.
std::optional<double> isoSeconds(const std::string& text) {
    std::tm fields{};
    int milliseconds = 0, offsetHours = 0, offsetMinutes = 0;
    char sign = '+';
    if (std::sscanf(text.c_str(), "%d-%d-%dT%d:%d:%d.%d%c%d:%d", &fields.tm_year, &fields.tm_mon,
                    &fields.tm_mday, &fields.tm_hour, &fields.tm_min, &fields.tm_sec, &milliseconds, &sign,
                    &offsetHours, &offsetMinutes) != 10)
        return std::nullopt;
    fields.tm_year -= 1900;
    fields.tm_mon -= 1;
    const double offset = (sign == '-' ? -1 : 1) * (offsetHours * 3600.0 + offsetMinutes * 60.0);
    return static_cast<double>(timegm(&fields)) - offset + milliseconds / 1000.0;
}

double localOffset(double at) {
    const auto seconds = static_cast<std::time_t>(at);
    std::tm local{};
    localtime_r(&seconds, &local);
    return static_cast<double>(local.tm_gmtoff);
}

std::string timeText(double at, bool positions, const char* format) {
    if (positions) {
        const auto seconds = static_cast<long long>(at);
        char text[32];
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        return text;
    }
    const auto seconds = static_cast<std::time_t>(at);
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// The shortest interval of the usual ones that leaves at most mostBars.
double intervalSeconds(double from, double to) {
    for (const double minutes : {1.0, 5.0, 15.0, 60.0, 180.0, 1440.0}) {
        if ((to - from) / (minutes * 60) + 1 <= mostBars) return minutes * 60;
    }
    return std::ceil((to - from) / mostBars / 86400) * 86400;
}

struct Frame {
    double left, top, width, height;
};

std::optional<double> percentile85(std::vector<double> speeds) {
    if (speeds.empty()) return std::nullopt;
    std::sort(speeds.begin(), speeds.end());
    const auto rank = static_cast<std::size_t>(std::ceil(0.85 * static_cast<double>(speeds.size())));
    return speeds[std::max<std::size_t>(rank, 1) - 1];
}

void axisLines(ChartCanvas& canvas, const Frame& f, double top, int steps, bool integers) {
    for (int i = 0; i <= steps; ++i) {
        const double y = f.top + f.height - f.height * i / steps;
        canvas.line(f.left, y, f.left + f.width, y, faint, 1);
        char label[32];
        std::snprintf(label, sizeof label, integers ? "%.0f" : "%.1f", top * i / steps);
        canvas.text(f.left - 6, y + 4, label, 11, ink, TextAlign::right);
    }
}

// A scale that ends on a round number at or above `most`.
double roundTop(double most) {
    if (most <= 4) return 4;
    const double step = std::pow(10, std::floor(std::log10(most)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (step * factor >= most) return step * factor;
    }
    return step * 10;
}

void drawCounts(const SurveyLog& log, const std::vector<std::string>& directions, ChartCanvas& canvas,
                const Frame& f, double from, double interval) {
    const auto bins = static_cast<std::size_t>((log.vehicles.back().at - from) / interval) + 1;
    // bins x directions x classes
    std::vector<std::array<int, vehicleClasses.size()>> counts(bins * directions.size());
    for (const LoggedVehicle& v : log.vehicles) {
        if (v.vehicleClass == "pedestrian") continue;
        const auto bin = static_cast<std::size_t>((v.at - from) / interval);
        const auto d = static_cast<std::size_t>(std::find(directions.begin(), directions.end(), v.direction) -
                                                directions.begin());
        ++counts[bin * directions.size() + d][classIndex(v.vehicleClass)];
    }
    int most = 0;
    for (const auto& stack : counts) most = std::max(most, std::accumulate(stack.begin(), stack.end(), 0));
    const double top = roundTop(most);
    axisLines(canvas, f, top, 4, true);
    const double slot = f.width / static_cast<double>(bins);
    const double bar = std::max(1.0, slot * 0.8 / static_cast<double>(directions.size()));
    for (std::size_t b = 0; b < bins; ++b) {
        for (std::size_t d = 0; d < directions.size(); ++d) {
            double y = f.top + f.height;
            const double x = f.left + slot * b + slot * 0.1 + bar * d;
            const auto& stack = counts[b * directions.size() + d];
            for (std::size_t c = 0; c < stack.size(); ++c) {
                const double h = f.height * stack[c] / top;
                canvas.fillRectangle(x, y - h, std::max(1.0, bar - 1), h, vehicleClasses[c].colour);
                y -= h;
            }
        }
        const std::size_t labelEvery = std::max<std::size_t>(1, bins / 12);
        if (b % labelEvery == 0)
            canvas.text(f.left + slot * b, f.top + f.height + 16,
                        timeText(from + interval * b, log.positions, "%H:%M"), 11, ink);
    }
    canvas.line(f.left, f.top + f.height, f.left + f.width, f.top + f.height, ink, 1.5);
    std::string order = "vehicles per " + std::to_string(static_cast<long long>(interval / 60)) +
                        " min; bars side by side by direction:";
    for (const std::string& d : directions) order += " " + (d.empty() ? std::string("?") : d);
    canvas.text(f.left, f.top - 10, order, 13, ink, TextAlign::left, true);
}

void drawSpeeds(const std::vector<double>& speeds, ChartCanvas& canvas, const Frame& f) {
    canvas.text(f.left, f.top - 10, "speeds of vehicles (km/h)", 13, ink, TextAlign::left, true);
    if (speeds.empty()) {
        canvas.text(f.left + f.width / 2, f.top + f.height / 2, "no speeds measured", 14, ink,
                    TextAlign::centre);
        return;
    }
    const double fastest =
        std::max(60.0, std::ceil(*std::max_element(speeds.begin(), speeds.end()) / 20) * 20);
    const auto bins = static_cast<std::size_t>(fastest / speedBinKmh);
    std::vector<int> counts(bins, 0);
    for (const double s : speeds) ++counts[std::min(bins - 1, static_cast<std::size_t>(s / speedBinKmh))];
    const double top = roundTop(*std::max_element(counts.begin(), counts.end()));
    axisLines(canvas, f, top, 4, true);
    const double slot = f.width / static_cast<double>(bins);
    for (std::size_t b = 0; b < bins; ++b) {
        const double h = f.height * counts[b] / top;
        canvas.fillRectangle(f.left + slot * b + 1, f.top + f.height - h, slot - 2, h,
                             vehicleClasses[1].colour);
    }
    for (double kmh = 0; kmh <= fastest; kmh += 20)
        canvas.text(f.left + f.width * kmh / fastest, f.top + f.height + 16,
                    std::to_string(static_cast<int>(kmh)), 11, ink, TextAlign::centre);
    const double mean =
        std::accumulate(speeds.begin(), speeds.end(), 0.0) / static_cast<double>(speeds.size());
    const double v85 = *percentile85(speeds);
    const auto mark = [&](double kmh, bool dashed, const std::string& label, double row) {
        const double x = f.left + f.width * kmh / fastest;
        canvas.line(x, f.top, x, f.top + f.height, meanColour, 2, dashed);
        canvas.text(x + 4, f.top + row, label, 12, meanColour);
    };
    char text[64];
    std::snprintf(text, sizeof text, "mean %.1f", mean);
    mark(mean, false, text, 14);
    std::snprintf(text, sizeof text, "v85 %.1f", v85);
    mark(v85, true, text, 30);
}

void drawTotals(const SurveyLog& log, const std::vector<std::string>& directions,
                const std::vector<double>& speeds, ChartCanvas& canvas, const Frame& f) {
    canvas.text(f.left, f.top - 10, "totals", 13, ink, TextAlign::left, true);
    double y = f.top + 14;
    const auto row = [&](const std::string& label, const std::string& value, ChartColour swatch, bool box) {
        if (box) canvas.fillRectangle(f.left, y - 10, 12, 12, swatch);
        canvas.text(f.left + 20, y, label, 13, ink);
        canvas.text(f.left + f.width, y, value, 13, ink, TextAlign::right);
        y += 20;
    };
    std::map<std::string, int> byDirection, byClass;
    int vehicles = 0, pedestrians = 0;
    for (const LoggedVehicle& v : log.vehicles) {
        if (v.vehicleClass == "pedestrian") {
            ++pedestrians;
            continue;
        }
        ++vehicles;
        ++byDirection[v.direction];
        ++byClass[vehicleClasses[classIndex(v.vehicleClass)].label];
    }
    row("vehicles", std::to_string(vehicles), ink, false);
    for (const std::string& d : directions)
        row("  " + (d.empty() ? std::string("no direction") : d), std::to_string(byDirection[d]), ink, false);
    for (const ClassStyle& style : vehicleClasses)
        row(style.label, std::to_string(byClass[style.label]), style.colour, true);
    row("pedestrians", std::to_string(pedestrians), ink, false);
    if (!speeds.empty()) {
        char text[32];
        std::snprintf(
            text, sizeof text, "%.1f km/h",
            std::accumulate(speeds.begin(), speeds.end(), 0.0) / static_cast<double>(speeds.size()));
        row("mean speed", text, ink, false);
        std::snprintf(text, sizeof text, "%.1f km/h", *percentile85(speeds));
        row("v85", text, ink, false);
    }
}

}  // namespace

SurveyLog readSurveyLog(const std::string& text) {
    SurveyLog log;
    std::vector<std::vector<std::string>> records;
    std::istringstream lines(text);
    std::string line;
    bool allPositions = true;
    while (std::getline(lines, line)) {
        if (lines.eof() && !text.empty() && text.back() != '\n') break;  // not written whole
        std::vector<std::string> fields = csvFields(line);
        if (fields.size() != vehicleLogColumns().size() || fields[0] == "vehicle") continue;
        allPositions = allPositions && numberIn(fields[3]).has_value();
        records.push_back(std::move(fields));
    }
    log.positions = allPositions && !records.empty();
    for (const auto& fields : records) {
        const std::optional<double> at = log.positions ? numberIn(fields[3]) : isoSeconds(fields[2]);
        if (!at) continue;
        log.vehicles.push_back({*at, fields[5], fields[8], numberIn(fields[6])});
    }
    std::stable_sort(log.vehicles.begin(), log.vehicles.end(),
                     [](const LoggedVehicle& a, const LoggedVehicle& b) { return a.at < b.at; });
    return log;
}

void drawSurveyChart(const SurveyLog& log, ChartCanvas& canvas) {
    if (log.vehicles.empty()) {
        canvas.text(canvas.width() / 2.0, canvas.height() / 2.0, "no vehicles yet", 20, ink,
                    TextAlign::centre);
        return;
    }
    std::vector<std::string> directions;
    std::vector<double> speeds;
    for (const LoggedVehicle& v : log.vehicles) {
        if (std::find(directions.begin(), directions.end(), v.direction) == directions.end())
            directions.push_back(v.direction);
        if (v.speedKmh && v.vehicleClass != "pedestrian") speeds.push_back(*v.speedKmh);
    }
    std::sort(directions.begin(), directions.end());
    const double first = log.vehicles.front().at, last = log.vehicles.back().at;
    const double interval = intervalSeconds(first, last);
    const double shift = log.positions ? 0 : localOffset(first);
    const double from = std::floor((first + shift) / interval) * interval - shift;
    const char* dayFormat = "%Y-%m-%d %H:%M";
    const std::string title = "Traffic survey, " + timeText(first, log.positions, dayFormat) + " to " +
                              timeText(last, log.positions, dayFormat) +
                              (log.positions ? " of the recording" : "");
    canvas.text(canvas.width() / 2.0, 34, title, 22, ink, TextAlign::centre, true);
    const double w = canvas.width(), h = canvas.height();
    drawCounts(log, directions, canvas, {70, 90, w - 100, h * 0.42}, from, interval);
    drawSpeeds(speeds, canvas, {70, h * 0.42 + 160, w * 0.6 - 70, h * 0.42 - 120});
    drawTotals(log, directions, speeds, canvas,
               {w * 0.6 + 60, h * 0.42 + 160, w * 0.4 - 100, h * 0.42 - 120});
}

int writeSurveyReport(const std::string& directory, const std::string& output) {
    const std::string path = surveyFilePath(directory, vehicleLogName);
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "tavomotion: no vehicle log %s\n", path.c_str());
        return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const SurveyLog log = readSurveyLog(text.str());
    if (log.vehicles.empty()) {
        std::fprintf(stderr, "tavomotion: %s holds no vehicle\n", path.c_str());
        return 1;
    }
    ChartCanvas canvas(chartWidth, chartHeight, paper);
    drawSurveyChart(log, canvas);
    std::string failure;
    if (!canvas.writePng(output, failure)) {
        std::fprintf(stderr, "tavomotion: report not written: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}

}  // namespace app::survey
