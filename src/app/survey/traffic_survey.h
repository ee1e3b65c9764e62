#pragma once
// The traffic survey of the every-vehicle mode: each vehicle that has left
// the window measured from its passage, written to the vehicle log and
// counted in its interval; each interval written to the counts once closed.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/every_vehicle/vehicle_passage.h"
#include "analysis/survey/passage_pieces.h"
#include "app/survey/interval_tally.h"

namespace app::survey {

class TrafficSurvey {
public:
    // Logs in `saveDirectory`; `recording`: the source is no live one;
    // `recordingStart`: when that recording was made (seconds since the
    // epoch), which puts its intervals on the clock's hours and its vehicles
    // at their real times; without it, intervals count from position 0.
    TrafficSurvey(const std::string& saveDirectory, bool recording,
                  std::optional<double> recordingStart = std::nullopt);

    // With a road plane, whether all the vehicles a picture is about to show
    // (their passages so far) are people on foot: they are counted, not
    // pictured.
    bool onFootOnly(const std::vector<analysis::everyvehicle::VehiclePassage>& pictured) const;
    // The picture of frame `frame` was saved as `file`.
    void pictured(std::int64_t frame, const std::string& file);
    // After each look: the frame's clock time and, for a recording, its
    // position; whether the mode was watching (not learning); the vehicles
    // that left.
    void looked(double clockSeconds, std::optional<double> position, bool watching,
                const std::vector<analysis::everyvehicle::VehiclePassage>& departed);
    // When watching ends: the vehicles still in the window, and the last,
    // partial intervals.
    void finish(const std::vector<analysis::everyvehicle::VehiclePassage>& remaining);

private:
    void record(const analysis::everyvehicle::VehiclePassage& passage);
    void writeCounts(const std::vector<IntervalCount>& lines);
    std::string pictureOf(std::int64_t frame) const;

    std::string vehiclePath_;
    std::string countsPath_;
    bool recording_;
    std::optional<double> recordingStart_;
    std::int64_t nextNumber_;
    IntervalTally tally_;
    analysis::survey::VehicleGathering gathering_;
    std::deque<std::pair<std::int64_t, std::string>> pictures_;
    // Survey time (seconds since the epoch, or for a recording of unknown
    // start its position) less clock time.
    double timeOffset_ = 0;
    double realOffset_ = 0;  // real time less clock time, for the log's times
    bool realOffsetKnown_ = false;
    double clockNow_ = 0;
    std::optional<double> lastWatched_;  // survey time of the last frame watched
};

}  // namespace app::survey
