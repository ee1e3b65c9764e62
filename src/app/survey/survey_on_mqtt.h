#pragma once
// The survey's records as copies on the MQTT broker: each vehicle record on
// `vehicle` instead of a message per picture, each closed interval on
// `counts`, as JSON objects with the logs' column names as keys; and the
// newest interval so far on `interval`.
#include <string>
#include <vector>

#include "app/survey/survey_records.h"

namespace app::survey {

// Before the first picture of the every-vehicle mode; nothing is sent
// without --mqtt.
void publishSurveyOnMqtt();

std::string vehicleJson(const VehicleRecord& record);
std::string intervalJson(const IntervalCount& count);
// {"start","end","watched","directions":{DIRECTION:{the counts' figures}}}
std::string currentIntervalJson(const std::vector<IntervalCount>& lines);

}  // namespace app::survey
