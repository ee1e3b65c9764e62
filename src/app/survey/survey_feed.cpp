#include "app/survey/survey_feed.h"

#include <vector>

namespace app::survey {
namespace {

std::vector<VehicleListener> vehicleListeners;
std::vector<IntervalListener> intervalListeners;
std::vector<CurrentIntervalListener> currentIntervalListeners;

}  // namespace

void listenForVehicles(VehicleListener listener) { vehicleListeners.push_back(std::move(listener)); }
void listenForIntervals(IntervalListener listener) { intervalListeners.push_back(std::move(listener)); }
void listenForCurrentInterval(CurrentIntervalListener listener) {
    currentIntervalListeners.push_back(std::move(listener));
}

void forgetSurveyListeners() {
    vehicleListeners.clear();
    intervalListeners.clear();
    currentIntervalListeners.clear();
}

void handOnVehicle(const VehicleRecord& record) {
    for (const VehicleListener& listener : vehicleListeners) listener(record);
}

void handOnInterval(const IntervalCount& count) {
    for (const IntervalListener& listener : intervalListeners) listener(count);
}

void handOnCurrentInterval(const std::vector<IntervalCount>& lines) {
    for (const CurrentIntervalListener& listener : currentIntervalListeners) listener(lines);
}

}  // namespace app::survey
