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
}

}  // namespace app::survey
