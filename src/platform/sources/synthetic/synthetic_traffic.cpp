#include "platform/sources/synthetic/synthetic_traffic.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_queue.h"
#include "platform/sources/synthetic/synthetic_random.h"

namespace platform::synthetic {
namespace {

// Quiet times at both ends of a stretch, longer than any vehicle needs to
// come into the picture before it arrives or to leave it afterwards.
constexpr double quietStartSeconds = 3.0;
constexpr double quietEndSeconds = 10.0;

// A vehicle closer than this behind another in its lane keeps its speed and
// keeps a safety gap of road behind it.
constexpr double followingSeconds = 8.0;
constexpr double safetyGapMetres = 3.0;

constexpr double rightLaneShare = 0.75;
constexpr double darkShare = 0.7;
constexpr double fastestCrossingSeconds = 1.6;
constexpr double slowestCrossingSeconds = 2.8;

struct Range {
    double low, high;
};

struct Build {
    double share;  // cumulative
    VehicleKind kind;
    Range length, width, height;
};

constexpr std::array<Build, 4> builds{{
    {0.58, VehicleKind::car, {3.9, 4.7}, {1.70, 1.85}, {1.40, 1.52}},
    {0.75, VehicleKind::estate, {4.4, 5.0}, {1.82, 1.95}, {1.60, 1.80}},
    {0.90, VehicleKind::van, {4.9, 6.0}, {1.95, 2.05}, {2.00, 2.50}},
    {1.00, VehicleKind::lorry, {7.5, 10.5}, {2.40, 2.55}, {3.00, 3.50}},
}};

// The survey's traffic: all the lengths its classes tell apart, at the
// speeds of a road with cyclists and lorries on it.
struct SurveyBuild {
    Build build;
    Range kmh;
};

constexpr std::array<SurveyBuild, 7> surveyBuilds{{
    {{0.40, VehicleKind::car, {3.9, 4.7}, {1.70, 1.85}, {1.40, 1.52}}, {20, 120}},
    {{0.55, VehicleKind::estate, {4.4, 5.0}, {1.82, 1.95}, {1.60, 1.80}}, {20, 120}},
    {{0.67, VehicleKind::van, {5.3, 6.4}, {1.95, 2.05}, {2.00, 2.50}}, {20, 120}},
    {{0.77, VehicleKind::lorry, {7.5, 10.5}, {2.40, 2.55}, {3.00, 3.50}}, {40, 90}},
    {{0.85, VehicleKind::articulated, {15.5, 16.5}, {2.50, 2.55}, {3.80, 4.00}}, {40, 90}},
    {{0.93, VehicleKind::motorbike, {2.0, 2.3}, {0.75, 0.90}, {1.30, 1.50}}, {20, 120}},
    {{1.00, VehicleKind::bicycle, {1.7, 1.9}, {0.55, 0.65}, {1.60, 1.80}}, {20, 30}},
}};

// How fast the survey's traffic comes up to a queue and drives off from it.
constexpr double queueApproachKmh = 20.0;

constexpr std::array<Colour, 6> darkPaints{
    {{28, 28, 30}, {52, 52, 55}, {72, 40, 26}, {34, 32, 96}, {40, 62, 34}, {60, 56, 50}}};
constexpr std::array<Colour, 5> lightPaints{
    {{218, 218, 216}, {176, 178, 180}, {150, 188, 205}, {60, 190, 225}, {205, 180, 150}}};

double draw(Random& random, Range range) { return random.uniform(range.low, range.high); }

// Shares of the vehicles that come close behind the previous one.
constexpr double fewFollowersShare = 0.15;
constexpr double manyFollowersShare = 0.50;

struct Gap {
    double seconds;
    bool close;
};

Gap drawGap(Random& random, double closeShare) {
    const double kind = random.uniform();
    if (kind < closeShare) return {random.uniform(0.9, 2.0), true};
    if (kind < 0.80) return {random.uniform(2.5, 9.0), false};
    return {random.uniform(18.0, 45.0), false};  // a quiet spell
}

template <std::size_t count>
Colour drawPaint(Random& random, const std::array<Colour, count>& paints) {
    const auto index = std::min(static_cast<std::size_t>(random.uniform() * count), count - 1);
    const double shade = random.uniform(0.9, 1.1);
    const auto scaled = [shade](std::uint8_t channel) {
        return static_cast<std::uint8_t>(std::min(255.0, channel * shade + 0.5));
    };
    const Colour paint = paints[index];
    return {scaled(paint.blue), scaled(paint.green), scaled(paint.red)};
}

// Where its nearest end is when its roof's far end is on the detection
// window's bottom row: coming, it has just left the window; going, it has
// just come in.
double departureDepth(const Vehicle& vehicle) {
    const double heightFactor = (cameraHeight - vehicle.height) / cameraHeight;
    return roadDepth(detectionWindowBottomRow) * heightFactor - vehicle.length;
}

// With the away option, the left lane's traffic drives away from the camera.
constexpr Lane awayLane = Lane::left;

double laneCentre(Lane lane) { return lane == Lane::right ? rightLaneCentre : leftLaneCentre; }

void joinLane(Vehicle& vehicle, Lane lane) {
    vehicle.lateral += laneCentre(lane) - laneCentre(vehicle.lane);
    vehicle.lane = lane;
}

Vehicle bodyOf(Random& random, const Build& build) {
    Vehicle vehicle{};
    vehicle.kind = build.kind;
    vehicle.length = draw(random, build.length);
    vehicle.width = draw(random, build.width);
    vehicle.height = draw(random, build.height);
    vehicle.tone = random.chance(darkShare) ? VehicleTone::dark : VehicleTone::light;
    vehicle.body =
        vehicle.tone == VehicleTone::dark ? drawPaint(random, darkPaints) : drawPaint(random, lightPaints);
    vehicle.lane = random.chance(rightLaneShare) ? Lane::right : Lane::left;
    vehicle.lateral = laneCentre(vehicle.lane) + random.uniform(-0.2, 0.2);
    return vehicle;
}

Vehicle makeVehicle(Random& random, double arrivalSeconds) {
    const double which = random.uniform();
    const Build& build = *std::find_if(builds.begin(), builds.end() - 1,
                                       [which](const Build& candidate) { return which < candidate.share; });
    Vehicle vehicle = bodyOf(random, build);
    const double crossingSeconds = random.uniform(fastestCrossingSeconds, slowestCrossingSeconds);
    vehicle.speed = (entryDepth() - departureDepth(vehicle)) / crossingSeconds;
    vehicle.arrivalSeconds = arrivalSeconds;
    return vehicle;
}

Vehicle makeSurveyVehicle(Random& random, double arrivalSeconds) {
    const double which = random.uniform();
    const SurveyBuild& build =
        *std::find_if(surveyBuilds.begin(), surveyBuilds.end() - 1,
                      [which](const SurveyBuild& candidate) { return which < candidate.build.share; });
    Vehicle vehicle = bodyOf(random, build.build);
    vehicle.speed = draw(random, build.kmh) / 3.6;
    vehicle.arrivalSeconds = arrivalSeconds;
    return vehicle;
}

// A vehicle close behind another in its lane cannot drive faster than it.
void keepDistance(const std::vector<Vehicle>& earlier, Vehicle& follower) {
    const auto leader = std::find_if(earlier.rbegin(), earlier.rend(), [&follower](const Vehicle& other) {
        return other.lane == follower.lane;
    });
    if (leader == earlier.rend() || follower.arrivalSeconds - leader->arrivalSeconds >= followingSeconds)
        return;
    follower.speed = std::min(follower.speed, leader->speed);
    // Driving away, it arrives with its front further off than the leader's
    // rear was when the leader arrived, by its height's lean.
    const double closest =
        follower.heading == Heading::away
            ? secondsAtFrontDepth(*leader, departureDepth(follower) + follower.length + safetyGapMetres)
            : leader->arrivalSeconds + (leader->length + safetyGapMetres) / leader->speed;
    follower.arrivalSeconds = std::max(follower.arrivalSeconds, closest);
}

int clampedRow(double row) {
    return static_cast<int>(std::clamp(row, -1.0, static_cast<double>(pictureHeight)));
}

}  // namespace

void scheduleStretch(const SceneOptions& options, std::int64_t stretch, std::vector<Vehicle>& vehicles) {
    vehicles.clear();
    Random random(streamKey(options.seed, Purpose::traffic, static_cast<std::uint64_t>(stretch)));
    const double closeShare = options.followers ? manyFollowersShare : fewFollowersShare;
    const double start = static_cast<double>(stretch) * trafficStretchSeconds;
    const double lastArrival = start + trafficStretchSeconds - quietEndSeconds;
    double arrival = start + quietStartSeconds;
    for (;;) {
        const Gap gap = drawGap(random, closeShare);
        Vehicle vehicle = options.survey ? makeSurveyVehicle(random, arrival + gap.seconds)
                                         : makeVehicle(random, arrival + gap.seconds);
        // Asked for many followers, a close one follows in the same lane.
        if (options.followers && gap.close && !vehicles.empty()) joinLane(vehicle, vehicles.back().lane);
        if (options.away && vehicle.lane == awayLane) vehicle.heading = Heading::away;
        keepDistance(vehicles, vehicle);
        if (vehicle.arrivalSeconds >= lastArrival) break;
        vehicles.push_back(vehicle);
        arrival = vehicle.arrivalSeconds;
    }
    if (options.queue)
        formQueue(options.seed, stretch, vehicles,
                  options.survey ? std::optional<double>(queueApproachKmh / 3.6) : std::nullopt);
}

double entryDepth() { return roadDepth(detectionWindowTopRow); }

std::int64_t stretchOf(double seconds) {
    return static_cast<std::int64_t>(std::floor(std::max(seconds, 0.0) / trafficStretchSeconds));
}

double frameSeconds(std::int64_t frame, FrameRate rate) {
    return static_cast<double>(frame) * static_cast<double>(rate.denominator) /
           static_cast<double>(rate.numerator);
}

double frontDepth(const Vehicle& vehicle, double seconds) {
    if (vehicle.heading == Heading::away)
        return departureDepth(vehicle) + vehicle.speed * (seconds - vehicle.arrivalSeconds);
    if (!vehicle.halt) return entryDepth() - vehicle.speed * (seconds - vehicle.arrivalSeconds);
    const Halt& halt = *vehicle.halt;
    if (seconds < halt.fromSeconds) return halt.frontDepth + vehicle.speed * (halt.fromSeconds - seconds);
    return halt.frontDepth - vehicle.speed * std::max(seconds - halt.toSeconds, 0.0);
}

double secondsAtFrontDepth(const Vehicle& vehicle, double depth) {
    if (vehicle.heading == Heading::away)
        return vehicle.arrivalSeconds + (depth - departureDepth(vehicle)) / vehicle.speed;
    if (!vehicle.halt) return vehicle.arrivalSeconds + (entryDepth() - depth) / vehicle.speed;
    const Halt& halt = *vehicle.halt;
    if (depth > halt.frontDepth) return halt.fromSeconds - (depth - halt.frontDepth) / vehicle.speed;
    return halt.toSeconds + (halt.frontDepth - depth) / vehicle.speed;
}

RowSpan bodyRows(const Vehicle& vehicle, double seconds) {
    const double front = frontDepth(vehicle, seconds);
    const double roofRear = apparentDepth(front + vehicle.length, vehicle.height);
    if (roofRear <= 0) return {0, -1};
    const double top = rowAtDepth(roofRear);
    const double bottom = front > 0 ? rowAtDepth(front) : pictureHeight;
    return {std::max(clampedRow(std::ceil(top)), 0),
            std::min(clampedRow(std::floor(bottom)), pictureHeight - 1)};
}

bool inDetectionWindow(const Vehicle& vehicle, double seconds, double rowShift) {
    const RowSpan rows = bodyRows(vehicle, seconds);
    return !rows.empty() && rows.first + rowShift <= detectionWindowBottomRow + 0.5 &&
           rows.last + rowShift >= detectionWindowTopRow - 0.5;
}

double departureSeconds(const Vehicle& vehicle) {
    // Driving away, its rear clears the window's top row last.
    if (vehicle.heading == Heading::away) return secondsAtFrontDepth(vehicle, entryDepth());
    return secondsAtFrontDepth(vehicle, departureDepth(vehicle));
}

}  // namespace platform::synthetic
