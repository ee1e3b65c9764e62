#include "app/survey/traffic_survey.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "app/picture_record.h"
#include "app/survey/survey_feed.h"
#include "app/survey/survey_logs.h"
#include "app/survey/survey_settings.h"

namespace app::survey {
namespace {

using analysis::everyvehicle::VehiclePassage;

// Pictures a departing vehicle may still name.
constexpr std::size_t picturesRemembered = 64;
// A longer gap between two frames is a camera lost, not watching.
constexpr double longestFrameGap = 1.0;
constexpr int grayWidth = 320;  // the driver's picture the analysis sees

double realSeconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string localTimeAt(double seconds) {
    const double whole = std::floor(seconds);
    return localTimestamp({static_cast<std::time_t>(whole), static_cast<long>((seconds - whole) * 1e9)});
}

}  // namespace

TrafficSurvey::TrafficSurvey(const std::string& saveDirectory, bool recording,
                             std::optional<double> recordingStart)
    : vehiclePath_(surveyFilePath(saveDirectory, vehicleLogName)),
      countsPath_(surveyFilePath(saveDirectory, countsLogName)),
      recording_(recording),
      recordingStart_(recording ? recordingStart : std::nullopt),
      nextNumber_(nextVehicleNumber(vehiclePath_)),
      tally_(settings.countMinutes, recording && !recordingStart_) {}

void TrafficSurvey::pictured(std::int64_t frame, const std::string& file) {
    pictures_.emplace_back(frame, file);
    if (pictures_.size() > picturesRemembered) pictures_.pop_front();
}

bool TrafficSurvey::onFootOnly(const std::vector<VehiclePassage>& pictured) const {
    const auto& plane = settings.roadPlane;
    if (!plane || pictured.empty()) return false;
    return std::all_of(pictured.begin(), pictured.end(), [&plane](const VehiclePassage& passage) {
        return analysis::survey::measurePassage(passage, &*plane, grayWidth).vehicleClass ==
               analysis::survey::VehicleClass::pedestrian;
    });
}

std::string TrafficSurvey::pictureOf(std::int64_t frame) const {
    for (const auto& [number, file] : pictures_) {
        if (number == frame) return file;
    }
    return "";
}

void TrafficSurvey::looked(double clockSeconds, std::optional<double> position, bool watching,
                           const std::vector<VehiclePassage>& departed) {
    clockNow_ = clockSeconds;
    const double real = realSeconds();
    const double now = recording_ && position ? recordingStart_.value_or(0) + *position : real;
    timeOffset_ = now - clockSeconds;
    // A recording of unknown start is timed as if a camera had filmed it
    // from the moment watching started, also when it is replayed faster.
    if (recordingStart_)
        realOffset_ = timeOffset_;
    else if (!recording_ || !realOffsetKnown_)
        realOffset_ = real - now + timeOffset_;
    realOffsetKnown_ = true;
    if (watching && lastWatched_ && now - *lastWatched_ <= longestFrameGap && now > *lastWatched_)
        tally_.watched(now, now - *lastWatched_);
    lastWatched_ = watching ? std::optional<double>(now) : std::nullopt;
    gathering_.add(departed);
    for (const VehiclePassage& vehicle : gathering_.gathered(clockSeconds)) record(vehicle);
    writeCounts(tally_.closeBefore(now));
}

void TrafficSurvey::finish(const std::vector<VehiclePassage>& remaining) {
    gathering_.add(remaining);
    for (const VehiclePassage& vehicle : gathering_.gathered(clockNow_, true)) record(vehicle);
    writeCounts(tally_.closeAll());
}

// Only what the analysis took for a vehicle, pictured, and what moved gets a
// line: a shadow's edge that stood in the window is no traffic.
void TrafficSurvey::record(const VehiclePassage& passage) {
    if (passage.pictureFrame < 0 || passage.outlines.empty()) return;
    const auto& plane = settings.roadPlane;
    const analysis::survey::PassageMeasures measures =
        analysis::survey::measurePassage(passage, plane ? &*plane : nullptr, grayWidth);
    if (!measures.direction) return;
    const double entered = passage.outlines.front().seconds;
    VehicleRecord line;
    line.measures = measures;
    line.number = nextNumber_++;
    line.picture = pictureOf(passage.pictureFrame);
    line.time = localTimeAt(entered + realOffset_);
    if (recording_) {
        const double origin = recordingStart_.value_or(0);
        line.entered = entered + timeOffset_ - origin;
        line.left = passage.outlines.back().seconds + timeOffset_ - origin;
    }
    logVehicle(vehiclePath_, line);
    tally_.count(entered + timeOffset_, line.measures);
    handOnVehicle(line);
    handOnCurrentInterval(tally_.current());
}

void TrafficSurvey::writeCounts(const std::vector<IntervalCount>& lines) {
    for (const IntervalCount& line : lines) {
        logCount(countsPath_, line);
        handOnInterval(line);
    }
    if (lines.empty()) return;
    const std::vector<IntervalCount> current = tally_.current();
    if (!current.empty()) handOnCurrentInterval(current);
}

}  // namespace app::survey
