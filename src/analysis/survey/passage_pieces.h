#pragma once
// One vehicle the analysis followed as several pieces (a lorry's cab and
// box, the two ends of a car under a cloud's edge, by night its two lamps)
// leaves several passages with the same picture. They are one vehicle when
// their outlines touch, or are a pair of lamps side by side, in most of the
// frames they share: counted once, measured as one.
#include <vector>

#include "analysis/every_vehicle/vehicle_passage.h"

namespace analysis::survey {

bool piecesOfOneVehicle(const everyvehicle::VehiclePassage& a, const everyvehicle::VehiclePassage& b);

// The outlines of both, frame by frame their union.
everyvehicle::VehiclePassage joinedPieces(const everyvehicle::VehiclePassage& a,
                                          const everyvehicle::VehiclePassage& b);

}  // namespace analysis::survey

namespace analysis::survey {

// Holds departed passages a moment, until every piece of a vehicle has left.
class VehicleGathering {
public:
    void add(const std::vector<everyvehicle::VehiclePassage>& departed);
    // The vehicles none of whose pieces was seen within the last holdSeconds
    // before `now` (all of them with `all`), each its pieces joined.
    std::vector<everyvehicle::VehiclePassage> gathered(double now, bool all = false);

    static constexpr double holdSeconds = 2.0;

private:
    std::vector<everyvehicle::VehiclePassage> held_;
};

}  // namespace analysis::survey
