#pragma once
// The survey's two files in the save directory: tavomotion-vehicles.csv, a
// line per vehicle, and tavomotion-counts.csv, a line per direction of each
// interval. Both only ever grow by whole lines, CSV as RFC 4180 has it; they
// are the survey's record and are never ringed, rotated or removed.
#include <cstdint>
#include <string>

#include "app/survey/survey_records.h"

namespace app::survey {

constexpr const char* vehicleLogName = "tavomotion-vehicles.csv";
constexpr const char* countsLogName = "tavomotion-counts.csv";

std::string surveyFilePath(const std::string& saveDirectory, const char* name);

// The number after the last vehicle of the log; 1 for a log that is missing
// or holds none.
std::int64_t nextVehicleNumber(const std::string& path);

// A line that cannot be written is said on standard error and not tried again.
void logVehicle(const std::string& path, const VehicleRecord& record);
void logCount(const std::string& path, const IntervalCount& count);

}  // namespace app::survey
