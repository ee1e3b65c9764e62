#include "app/survey/survey_records.h"

#include <cmath>
#include <cstdio>

namespace app::survey {
namespace {

std::string decimals(const std::optional<double>& value, int places) {
    if (!value) return "";
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", places, *value);
    return text;
}

}  // namespace

std::string secondsText(double seconds) {
    const long long milliseconds = static_cast<long long>(std::floor(seconds * 1000 + 1e-6));
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", milliseconds / 1000, milliseconds % 1000);
    return text;
}

std::vector<std::string> vehicleLogColumns() {
    return {"vehicle", "picture", "time", "entered", "left", "direction", "speed_kmh", "length_m", "class"};
}

std::vector<std::string> vehicleLogFields(const VehicleRecord& record) {
    const auto& m = record.measures;
    return {std::to_string(record.number),
            record.picture,
            record.time,
            record.entered ? secondsText(*record.entered) : "",
            record.left ? secondsText(*record.left) : "",
            m.direction ? analysis::survey::directionName(*m.direction) : "",
            decimals(m.speedKmh, 1),
            decimals(m.lengthMetres, 1),
            m.vehicleClass ? analysis::survey::className(*m.vehicleClass) : ""};
}

std::vector<std::string> countsColumns() {
    return {"start", "end",    "watched",     "direction", "pedestrians", "two_wheelers", "cars",
            "vans",  "trucks", "long_trucks", "all",       "mean_kmh",    "v85_kmh"};
}

std::vector<std::string> countsFields(const IntervalCount& count) {
    std::vector<std::string> fields{count.start, count.end, decimals(count.watched, 3), count.direction};
    for (const std::int32_t n : count.byClass) fields.push_back(std::to_string(n));
    fields.push_back(std::to_string(count.all));
    fields.push_back(decimals(count.meanKmh, 1));
    fields.push_back(decimals(count.v85Kmh, 1));
    return fields;
}

}  // namespace app::survey
