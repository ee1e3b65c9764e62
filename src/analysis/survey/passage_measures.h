#pragma once
// What a vehicle's passage through the window says of it, measured over the
// whole passage so a jittering outline does not matter: which way it went,
// and with a road plane how fast, how long and how wide it was, and so of
// which class.
#include <optional>

#include "analysis/every_vehicle/vehicle_passage.h"
#include "analysis/survey/road_plane.h"

namespace analysis::survey {

enum class Direction { up, down, left, right };
enum class VehicleClass { pedestrian, twoWheeler, car, van, truck, longTruck };

struct PassageMeasures {
    std::optional<Direction> direction;
    std::optional<double> speedKmh;
    std::optional<double> lengthMetres;
    std::optional<double> widthMetres;
    std::optional<VehicleClass> vehicleClass;
};

// `frameWidth`: of the gray image the outlines are in (they are mirrored).
PassageMeasures measurePassage(const everyvehicle::VehiclePassage& passage, const RoadPlane* plane,
                               int frameWidth);

// From width, length and speed; empty when they do not tell.
std::optional<VehicleClass> classify(std::optional<double> widthMetres, std::optional<double> lengthMetres,
                                     std::optional<double> speedKmh);

const char* directionName(Direction direction);
const char* className(VehicleClass vehicleClass);

}  // namespace analysis::survey
