#include "platform/sources/synthetic/synthetic_walkers.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_random.h"
#include "platform/sources/synthetic/synthetic_vehicle_painter.h"

namespace platform::synthetic {
namespace {

// One in about this many seconds, crossing where their legs and body show
// in the window, or walking along a lane through it, at 3.5 to 6 km/h.
constexpr double meanSpacingSeconds = 40.0;
constexpr double nearestCrossing = 12.5;
constexpr double furthestCrossing = 15.5;
constexpr double alongShare = 0.5;
constexpr Span alongStretch{10.5, 18.5};  // metres from the camera: the window and beyond
constexpr Span alongRightLane{0.6, 1.6};  // metres across: within the window's columns
constexpr Span alongLeftLane{-1.3, -0.6};
constexpr double slowestWalk = 3.5 / 3.6;
constexpr double fastestWalk = 6.0 / 3.6;
// No vehicle in the window this long before and after.
constexpr double clearSeconds = 2.0;
constexpr double lastStartSeconds = trafficStretchSeconds - 20.0;

constexpr std::array<Colour, 5> coats{
    {{40, 40, 150}, {150, 60, 30}, {30, 30, 32}, {200, 200, 196}, {40, 120, 60}}};
constexpr Colour trousers{45, 40, 38};
constexpr Colour skin{150, 170, 200};

// Heights above the road where the legs and the coat end.
constexpr double legsShare = 0.48;
constexpr double coatShare = 0.85;

bool clearOfTraffic(const Walker& walker, const std::vector<Vehicle>& vehicles) {
    const double from = walker.startSeconds - clearSeconds, to = walkerOffRoad(walker) + clearSeconds;
    return std::none_of(vehicles.begin(), vehicles.end(), [&](const Vehicle& vehicle) {
        return vehicle.arrivalSeconds < to && departureSeconds(vehicle) > from;
    });
}

// The first moment from `seconds` on at which it is clear of the traffic.
bool findGap(Walker& walker, const std::vector<Vehicle>& vehicles, double lastStart) {
    while (walker.startSeconds < lastStart) {
        if (clearOfTraffic(walker, vehicles)) return true;
        walker.startSeconds += 0.5;
    }
    return false;
}

void crossing(Random& random, double speed, Walker& walker) {
    walker.fromDepth = random.uniform(nearestCrossing, furthestCrossing);
    const bool rightward = random.chance(0.5);
    walker.fromLateral = rightward ? asphalt.from : asphalt.to;
    walker.lateralSpeed = rightward ? speed : -speed;
    walker.walkSeconds = (asphalt.to - asphalt.from) / speed;
}

void along(Random& random, double speed, Walker& walker) {
    const Span lane = random.chance(0.5) ? alongRightLane : alongLeftLane;
    walker.fromLateral = random.uniform(lane.from, lane.to);
    const bool away = random.chance(0.5);
    walker.fromDepth = away ? alongStretch.from : alongStretch.to;
    walker.depthSpeed = away ? speed : -speed;
    walker.walkSeconds = (alongStretch.to - alongStretch.from) / speed;
}

Walker makeWalker(Random& random, double seconds) {
    Walker walker{};
    walker.startSeconds = seconds;
    const double speed = random.uniform(slowestWalk, fastestWalk);
    if (random.chance(alongShare))
        along(random, speed, walker);
    else
        crossing(random, speed, walker);
    walker.width = random.uniform(0.45, 0.6);
    walker.thickness = random.uniform(0.25, 0.35);
    walker.height = random.uniform(1.6, 1.9);
    walker.coat =
        coats[std::min(static_cast<std::size_t>(random.uniform() * coats.size()), coats.size() - 1)];
    return walker;
}

std::uint8_t lit(std::uint8_t value, int light) {
    return static_cast<std::uint8_t>(std::min(255, value * light / lightUnit));
}

}  // namespace

void scheduleWalkers(const SceneOptions& options, std::int64_t stretch, const std::vector<Vehicle>& vehicles,
                     std::vector<Walker>& walkers) {
    walkers.clear();
    if (!options.walkers) return;
    Random random(streamKey(options.seed, Purpose::walkers, static_cast<std::uint64_t>(stretch)));
    const double start = static_cast<double>(stretch) * trafficStretchSeconds;
    const double lastStart = start + lastStartSeconds;
    double seconds = start + random.uniform(5.0, meanSpacingSeconds);
    while (seconds < lastStart) {
        Walker walker = makeWalker(random, seconds);
        if (!findGap(walker, vehicles, lastStart)) break;
        walkers.push_back(walker);
        seconds = walkerOffRoad(walker) + random.uniform(0.5, 1.5) * meanSpacingSeconds;
    }
}

double walkerLateral(const Walker& walker, double seconds) {
    return walker.fromLateral + walker.lateralSpeed * (seconds - walker.startSeconds);
}

double walkerDepth(const Walker& walker, double seconds) {
    return walker.fromDepth + walker.depthSpeed * (seconds - walker.startSeconds);
}

double walkerSpeed(const Walker& walker) { return std::hypot(walker.lateralSpeed, walker.depthSpeed); }

double walkerOffRoad(const Walker& walker) { return walker.startSeconds + walker.walkSeconds; }

// Seen from the pole, a person stands from the row of their feet up to the
// row where the top of their head is seen against the road beyond.
void paintWalker(const Walker& walker, double seconds, int light, std::uint8_t* picture) {
    if (seconds < walker.startSeconds || seconds > walkerOffRoad(walker)) return;
    const double depth = walkerDepth(walker, seconds);
    const double feet = rowAtDepth(depth);
    const double head = rowAtDepth(apparentDepth(depth + walker.thickness, walker.height));
    const double lateral = walkerLateral(walker, seconds);
    for (int row = std::max(0, static_cast<int>(std::ceil(head)));
         row <= std::min(pictureHeight - 1, static_cast<int>(feet)); ++row) {
        // How high above the road this row meets the person's front.
        const double above = cameraHeight * (1 - depth / roadDepth(row));
        const double share = above / walker.height;
        const Colour colour = share < legsShare ? trousers : share < coatShare ? walker.coat : skin;
        const double half = walker.width / 2 * pixelsPerMetre(row) *
                            (share < legsShare   ? 0.6
                             : share < coatShare ? 1.0
                                                 : 0.4);
        const double centre = columnAt(lateral, row);
        const int first = std::max(0, static_cast<int>(std::ceil(centre - half)));
        const int last = std::min(pictureWidth - 1, static_cast<int>(std::floor(centre + half)));
        for (int column = first; column <= last; ++column) {
            std::uint8_t* pixel = picture + static_cast<std::size_t>(row) * pictureRowBytes + column * 3;
            pixel[0] = lit(colour.blue, light);
            pixel[1] = lit(colour.green, light);
            pixel[2] = lit(colour.red, light);
        }
    }
}

}  // namespace platform::synthetic
