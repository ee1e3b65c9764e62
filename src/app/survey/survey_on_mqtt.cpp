#include "app/survey/survey_on_mqtt.h"

#include <set>
#include <vector>

#include "app/mqtt_events.h"
#include "app/survey/survey_feed.h"
#include "app/web/json_text.h"

namespace app::survey {
namespace {

// Columns whose fields are numbers (or empty: not measured, or no position).
const std::set<std::string> numberColumns{"vehicle", "entered",     "left",         "speed_kmh", "length_m",
                                          "watched", "pedestrians", "two_wheelers", "cars",      "vans",
                                          "trucks",  "long_trucks", "all",          "mean_kmh",  "v85_kmh"};

std::string objectOf(const std::vector<std::string>& columns, const std::vector<std::string>& fields) {
    std::string json = "{";
    for (std::size_t i = 0; i < columns.size() && i < fields.size(); ++i) {
        if (i > 0) json += ",";
        json += web::jsonString(columns[i]) + ":";
        if (numberColumns.count(columns[i]) == 0) {
            json += web::jsonString(fields[i]);
        } else {
            json += fields[i].empty() ? "null" : fields[i];
        }
    }
    return json;
}

}  // namespace

std::string currentIntervalJson(const std::vector<IntervalCount>& lines) {
    if (lines.empty()) return "{}";
    const std::vector<std::string> columns = countsColumns();
    // start, end, watched and direction: the interval's, then each direction's figures.
    constexpr std::size_t firstFigure = 4;
    const std::vector<std::string> perInterval(columns.begin(), columns.begin() + firstFigure - 1);
    const std::vector<std::string> perDirection(columns.begin() + firstFigure, columns.end());
    std::string json = objectOf(perInterval, countsFields(lines.front())) + ",\"directions\":{";
    bool first = true;
    for (const IntervalCount& line : lines) {
        if (line.direction.empty()) continue;
        const std::vector<std::string> fields = countsFields(line);
        json += (first ? "" : ",") + web::jsonString(line.direction) + ":" +
                objectOf(perDirection, {fields.begin() + firstFigure, fields.end()}) + "}";
        first = false;
    }
    return json + "}}";
}

std::string vehicleJson(const VehicleRecord& record) {
    return objectOf(vehicleLogColumns(), vehicleLogFields(record)) + ",\"mode\":\"every\"}";
}

std::string intervalJson(const IntervalCount& count) {
    return objectOf(countsColumns(), countsFields(count)) + "}";
}

void publishSurveyOnMqtt() {
    takeVehicleRecordsFromSurvey();
    listenForVehicles([](const VehicleRecord& record) { publishVehicleRecord(vehicleJson(record)); });
    listenForIntervals([](const IntervalCount& count) { publishCounts(intervalJson(count)); });
    listenForCurrentInterval([](const std::vector<IntervalCount>& lines) {
        for (const IntervalCount& line : lines) {
            if (!line.direction.empty()) discoverDirection(line.direction);
        }
        publishCurrentInterval(currentIntervalJson(lines));
    });
}

}  // namespace app::survey
