#include "app/survey/survey_feed.h"

#include <vector>

namespace app::survey {
namespace {

std::vector<VehicleListener> vehicleListeners;
std::vector<IntervalListener> intervalListeners;

}  // namespace

void listenForVehicles(VehicleListener listener) { vehicleListeners.push_back(std::move(listener)); }
void listenForIntervals(IntervalListener listener) { intervalListeners.push_back(std::move(listener)); }

void forgetSurveyListeners() {
    vehicleListeners.clear();
    intervalListeners.clear();
}

void handOnVehicle(const VehicleRecord& record) {
    for (const VehicleListener& listener : vehicleListeners) listener(record);
}

void handOnInterval(const IntervalCount& count) {
    for (const IntervalListener& listener : intervalListeners) listener(count);
}

}  // namespace app::survey
