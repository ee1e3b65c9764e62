#pragma once
// The survey's records: a line of the vehicle log for each vehicle that has
// left the window, and a line of the counts for each direction of each
// closed interval.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/survey/passage_measures.h"

namespace app::survey {

struct VehicleRecord {
    std::int64_t number = 0;
    std::string picture;  // the picture file that shows it; empty when none
    std::string time;     // of its entering: local time, ISO 8601, milliseconds and UTC offset
    // Positions in the recording, seconds; empty for a live source.
    std::optional<double> entered, left;
    analysis::survey::PassageMeasures measures;
};

constexpr int classCount = 6;  // as analysis::survey::VehicleClass

struct IntervalCount {
    std::string start, end;  // local times, or positions in seconds for a recording
    double watched = 0;      // the fraction of the interval really watched
    std::string direction;   // empty when no vehicle has been seen yet
    std::array<std::int32_t, classCount> byClass{};
    std::int32_t all = 0;  // vehicles: all but pedestrians, with or without a class
    std::optional<double> meanKmh, v85Kmh;
};

std::vector<std::string> vehicleLogColumns();
std::vector<std::string> vehicleLogFields(const VehicleRecord& record);
std::vector<std::string> countsColumns();
std::vector<std::string> countsFields(const IntervalCount& count);

// Seconds with three decimals, cut to the millisecond.
std::string secondsText(double seconds);

}  // namespace app::survey
