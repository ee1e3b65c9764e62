#pragma once
// Where a finished vehicle record and a closed interval are handed on, after
// they are written to the logs: whoever wants copies (a publisher to a
// broker, say) listens here. Listeners are called on the watching loop's
// thread and must not wait.
#include <functional>
#include <vector>

#include "app/survey/survey_records.h"

namespace app::survey {

using VehicleListener = std::function<void(const VehicleRecord&)>;
using IntervalListener = std::function<void(const IntervalCount&)>;
using CurrentIntervalListener = std::function<void(const std::vector<IntervalCount>&)>;

void listenForVehicles(VehicleListener listener);
void listenForIntervals(IntervalListener listener);
void listenForCurrentInterval(CurrentIntervalListener listener);
void forgetSurveyListeners();

// Called by the survey once the record is in its log.
void handOnVehicle(const VehicleRecord& record);
// Once for each direction's line of a closed interval.
void handOnInterval(const IntervalCount& count);
// The newest interval so far, a line for each direction: after each vehicle
// counted and each interval closed.
void handOnCurrentInterval(const std::vector<IntervalCount>& lines);

}  // namespace app::survey
