#pragma once
// The survey's records as copies on the MQTT broker: each vehicle record on
// `vehicle` instead of a message per picture, each closed interval on
// `counts`, as JSON objects with the logs' column names as keys.
#include <string>

#include "app/survey/survey_records.h"

namespace app::survey {

// Before the first picture of the every-vehicle mode; nothing is sent
// without --mqtt.
void publishSurveyOnMqtt();

std::string vehicleJson(const VehicleRecord& record);
std::string intervalJson(const IntervalCount& count);

}  // namespace app::survey
