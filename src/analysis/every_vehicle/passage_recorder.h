#pragma once
// Records each track's outline frame by frame, and hands over the passage
// of a vehicle once it has left the window.
#include <cstdint>
#include <vector>

#include "analysis/every_vehicle/cell_grid.h"
#include "analysis/every_vehicle/vehicle_passage.h"
#include "analysis/every_vehicle/vehicle_tracks.h"
#include "analysis/region_measures.h"

namespace analysis::everyvehicle {

class PassageRecorder {
public:
    void reset(const Rectangle& window, const CellGrid& cells);
    // `changed`: per window pixel, 1 where it differs from the empty scene.
    void record(const VehicleTracks& tracks, const std::vector<std::uint8_t>& changed, std::int64_t frame,
                double seconds);
    void pictured(std::int32_t vehicle, std::int64_t pictureFrame);
    // Moves the passages of vehicles no longer alive (all of them, with
    // `all`) into `departed`.
    void handOver(const VehicleTracks& tracks, bool all, std::vector<VehiclePassage>& departed);
    // The passages of vehicles still in the window, so far.
    const std::vector<VehiclePassage>& open() const { return open_; }

private:
    VehiclePassage& passageOf(std::int32_t vehicle);
    void measureOutlines(const VehicleTracks& tracks, const std::vector<std::uint8_t>& changed);

    Rectangle window_{};
    CellGrid cells_;
    std::vector<VehiclePassage> open_;
    std::vector<VehicleOutline> outlines_;  // this frame, by index into the tracks
};

}  // namespace analysis::everyvehicle
