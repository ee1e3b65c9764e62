#include "analysis/survey/passage_measures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/survey/robust_line.h"

namespace analysis::survey {
namespace {

using everyvehicle::VehicleOutline;
using everyvehicle::VehiclePassage;

// An outline as the window shows the frame: not mirrored.
struct Box {
    double t;
    double left, right, top, bottom;
    bool cutLeft, cutRight, cutTop, cutBottom;
};

struct Travel {
    double t;
    RoadPoint at;
};

// A stretch of the passage in which the vehicle moved.
struct Run {
    double from, to;
};

constexpr double narrowestVehicle = 1.2;  // metres: narrower is a two-wheeler or a person
// Shorter than the shortest car and not as wide as one (a rider's shadow
// or a wobble widens a two-wheeler's outline): a two-wheeler.
constexpr double shortestCar = 2.6;
constexpr double narrowestCar = 1.6;
constexpr double fastestWalker = 10.0;    // km/h
constexpr double leastMovingSpeed = 0.5;  // m/s: slower is standing
constexpr double movingWindowSeconds = 0.5;
constexpr double leastPictureSpeed = 0.5;  // pixels a second: slower shows no way
constexpr double leastPictureMove = 2.0;   // pixels in movingWindowSeconds: less is jitter

std::vector<Box> boxesOf(const VehiclePassage& passage, int frameWidth) {
    std::vector<Box> boxes;
    for (const VehicleOutline& o : passage.outlines) {
        boxes.push_back({o.seconds, static_cast<double>(frameWidth - o.right),
                         static_cast<double>(frameWidth - o.left), static_cast<double>(o.top),
                         static_cast<double>(o.bottom), o.cutRight, o.cutLeft, o.cutTop, o.cutBottom});
    }
    return boxes;
}

// The motion along one axis: of the middle where neither edge is cut, else
// of the edge seen the longest; an edge cut by the window stands still and
// says nothing.
std::optional<double> axisSpeed(const std::vector<Box>& boxes, bool across) {
    std::vector<Sample> middle, low, high;
    for (const Box& b : boxes) {
        const bool lowCut = across ? b.cutLeft : b.cutTop, highCut = across ? b.cutRight : b.cutBottom;
        const double lowEdge = across ? b.left : b.top, highEdge = across ? b.right : b.bottom;
        if (!lowCut && !highCut) middle.push_back({b.t, (lowEdge + highEdge) / 2});
        if (!lowCut) low.push_back({b.t, lowEdge});
        if (!highCut) high.push_back({b.t, highEdge});
    }
    constexpr std::size_t enough = 3;
    const std::vector<Sample>& chosen = middle.size() >= enough     ? middle
                                        : low.size() >= high.size() ? low
                                                                    : high;
    const std::optional<Line> line = robustLine(chosen);
    if (!line) return std::nullopt;
    return line->slope;
}

std::optional<Direction> directionOver(const std::vector<Box>& boxes) {
    const std::optional<double> x = axisSpeed(boxes, true), y = axisSpeed(boxes, false);
    if (!x && !y) return std::nullopt;
    const double sx = x.value_or(0), sy = y.value_or(0);
    if (std::max(std::abs(sx), std::abs(sy)) < leastPictureSpeed) return std::nullopt;
    if (std::abs(sx) > std::abs(sy)) return sx > 0 ? Direction::right : Direction::left;
    return sy > 0 ? Direction::down : Direction::up;
}

double centreX(const Box& b) { return (b.left + b.right) / 2; }
double centreY(const Box& b) { return (b.top + b.bottom) / 2; }

// The outlines whose centre moved by more than jitter within half a second.
std::vector<Box> movingBoxes(const std::vector<Box>& boxes) {
    std::vector<Box> moving;
    std::size_t later = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        later = std::max(later, i);
        while (later + 1 < boxes.size() && boxes[later].t < boxes[i].t + movingWindowSeconds) ++later;
        const double dx = centreX(boxes[later]) - centreX(boxes[i]),
                     dy = centreY(boxes[later]) - centreY(boxes[i]);
        if (later > i && std::hypot(dx, dy) >= leastPictureMove) moving.push_back(boxes[i]);
    }
    return moving;
}

struct Sides {
    bool left, right, top, bottom;
    bool any() const { return left || right || top || bottom; }
};

Sides cutSides(const Box& b) { return {b.cutLeft, b.cutRight, b.cutTop, b.cutBottom}; }

// The sides cut in `a` but not in `b`.
Sides sidesOnlyIn(const Sides& a, const Sides& b) {
    return {a.left && !b.left, a.right && !b.right, a.top && !b.top, a.bottom && !b.bottom};
}

// The sides of the window it came in and went out through.
struct Passing {
    Sides in, out;
};

// Its last outline that a side cut: what remains of a vehicle that left
// may linger in the window a few frames, small and whole.
Passing passingOf(const std::vector<Box>& boxes) {
    const auto lastCut =
        std::find_if(boxes.rbegin(), boxes.rend(), [](const Box& b) { return cutSides(b).any(); });
    const Sides first = cutSides(boxes.front());
    const Sides last = lastCut == boxes.rend() ? Sides{} : cutSides(*lastCut);
    return {sidesOnlyIn(first, last), sidesOnlyIn(last, first)};
}

// A vehicle that came in through one side of the window and left through
// the opposite one crossed it that way, however slanted its lane runs: an
// outline cut by a side moves only with its other edge, so the window's
// height hides much of a slanted crossing's motion down.
std::optional<Direction> crossingOf(const Passing& p) {
    const bool across = (p.in.left && p.out.right) || (p.in.right && p.out.left);
    const bool along = (p.in.top && p.out.bottom) || (p.in.bottom && p.out.top);
    if (across == along) return std::nullopt;
    if (along) return p.out.bottom ? Direction::down : Direction::up;
    return p.out.right ? Direction::right : Direction::left;
}

// Not crossing, one that left through a side goes the way of the second
// half of its moving part, so a vehicle that turned is counted once, in
// its last direction; one that faded or stopped in the window, going away
// and shrinking, the way of its whole motion.
std::optional<Direction> directionOf(const std::vector<Box>& boxes, const Passing& passing) {
    const std::vector<Box> moving = movingBoxes(boxes);
    const std::vector<Box> lastHalf(moving.begin() + static_cast<std::ptrdiff_t>(moving.size() / 2),
                                    moving.end());
    if (passing.out.any()) {
        if (const auto direction = directionOver(lastHalf)) return direction;
    }
    if (const auto direction = directionOver(moving)) return direction;
    return directionOver(boxes);
}

bool vertical(Direction direction) { return direction == Direction::up || direction == Direction::down; }

// Where the vehicle touches the road on its side nearest the camera (the
// bottom of its outline), and where its far end is seen against the road.
struct Edges {
    std::vector<Travel> near, far;
};

void addPoint(const RoadPlane& plane, double t, double x, double y, std::vector<Travel>& travel) {
    if (const auto road = plane.toRoad({x, y})) travel.push_back({t, *road});
}

// A vehicle in a lane that slants out through the window's side: the
// bottom of what shows of it is where the side cuts it, standing while the
// rest of its outline moves on, not where it touches the road.
bool bottomHeldBySide(const Box& b, const Box* before) {
    if (before == nullptr || !(b.cutLeft || b.cutRight) || b.bottom != before->bottom) return false;
    const auto moved = [](double now, double then) { return std::abs(now - then) >= leastPictureMove; };
    return moved(b.top, before->top) || (!b.cutLeft && moved(b.left, before->left)) ||
           (!b.cutRight && moved(b.right, before->right));
}

Edges edgesOf(const std::vector<Box>& boxes, Direction direction, const RoadPlane& plane) {
    Edges edges;
    const Box* before = nullptr;
    for (const Box& b : boxes) {
        const double middle = (b.left + b.right) / 2;
        const bool held = bottomHeldBySide(b, before);
        before = &b;
        if (vertical(direction)) {
            if (!b.cutBottom && !held) addPoint(plane, b.t, middle, b.bottom, edges.near);
            if (!b.cutTop) addPoint(plane, b.t, middle, b.top, edges.far);
        } else {
            const bool right = direction == Direction::right;
            const bool leadCut = right ? b.cutRight : b.cutLeft;
            const bool trailCut = right ? b.cutLeft : b.cutRight;
            if (!b.cutBottom && !leadCut)
                addPoint(plane, b.t, right ? b.right : b.left, b.bottom, edges.near);
            if (!b.cutBottom && !trailCut)
                addPoint(plane, b.t, right ? b.left : b.right, b.bottom, edges.far);
        }
    }
    return edges;
}

struct Motion {
    Line u, v;
    double speed() const { return std::hypot(u.slope, v.slope); }
    RoadPoint at(double t) const { return {u.at(t), v.at(t)}; }
};

// `least` samples at least: a robust fit wants three, but the roof of a
// fast tall vehicle shows its end in the window in two frames only.
std::optional<Motion> motionOf(const std::vector<Travel>& travel, Run run, std::size_t least = 3) {
    std::vector<Sample> us, vs;
    for (const Travel& p : travel) {
        if (p.t < run.from || p.t > run.to) continue;
        us.push_back({p.t, p.at.u});
        vs.push_back({p.t, p.at.v});
    }
    if (us.size() < least) return std::nullopt;
    const auto u = robustLine(us), v = robustLine(vs);
    if (!u || !v) return std::nullopt;
    return Motion{*u, *v};
}

// The longest stretch in which the near edge moved: a vehicle that stood in
// a queue has its speed from its moving part.
std::optional<Run> longestMovingRun(const std::vector<Travel>& near) {
    if (near.size() < 3) return std::nullopt;
    std::optional<Run> best, current;
    for (const Travel& p : near) {
        const Run around{p.t - movingWindowSeconds / 2, p.t + movingWindowSeconds / 2};
        const auto local = motionOf(near, around);
        const bool moving = !local || local->speed() >= leastMovingSpeed;
        if (moving) {
            if (!current) current = Run{p.t, p.t};
            current->to = p.t;
        } else {
            current.reset();
        }
        if (current && (!best || current->to - current->from > best->to - best->from)) best = current;
    }
    return best;
}

double along(RoadPoint p, double du, double dv) { return p.u * du + p.v * dv; }

// A point above the road is seen where the ray from the camera meets it:
// further from the camera's foot by the same factor as its edge moves
// faster, so the far end's true place on the road comes back from it.
std::optional<double> lengthOf(const Motion& near, const Motion& far, Direction direction, Run run,
                               RoadPoint foot) {
    const double speed = near.speed();
    if (speed <= 0) return std::nullopt;
    const double du = near.u.slope / speed, dv = near.v.slope / speed;
    const double t = (run.from + run.to) / 2;
    const double nearAt = along(near.at(t), du, dv);
    const double farAt = along(far.at(t), du, dv);
    if (!vertical(direction)) return std::abs(farAt - nearAt);
    const double lean = std::max(1.0, std::abs(along({far.u.slope, far.v.slope}, du, dv)) / speed);
    const double footAt = along(foot, du, dv);
    const double farOnRoad = footAt + (farAt - footAt) / lean;
    return std::abs(farOnRoad - nearAt);
}

// Across its front, where it is widest in the picture. A vehicle cut by the
// window's side is at least as wide as what shows: that tells only that it
// is no narrow one.
std::optional<double> widthOf(const std::vector<Box>& boxes, const RoadPlane& plane) {
    std::vector<double> whole, cut;
    for (const Box& b : boxes) {
        if (b.cutBottom || (b.cutLeft && b.cutRight)) continue;
        const auto left = plane.toRoad({b.left, b.bottom});
        const auto right = plane.toRoad({b.right, b.bottom});
        if (!left || !right) continue;
        const double width = std::hypot(right->u - left->u, right->v - left->v);
        (b.cutLeft || b.cutRight ? cut : whole).push_back(width);
    }
    if (!whole.empty()) return median(std::move(whole));
    const std::optional<double> atLeast = median(std::move(cut));
    if (atLeast && *atLeast >= narrowestVehicle) return atLeast;
    return std::nullopt;
}

// With a road plane the way it went is the main axis of its motion on the
// road (along it or across), seen in the picture where it was: a car whose
// outline grows out of the window's side as it comes nearer still goes the
// lane's way.
std::optional<Direction> directionOnRoad(const Motion& near, Run run, const RoadPlane& plane) {
    const double t = (run.from + run.to) / 2;
    const RoadPoint from = near.at(t);
    const bool along = std::abs(near.v.slope) >= std::abs(near.u.slope);
    // A tenth of a second on: a second on, a fast vehicle would be behind the camera.
    constexpr double step = 0.1;
    const RoadPoint to{from.u + (along ? 0 : near.u.slope * step),
                       from.v + (along ? near.v.slope * step : 0)};
    const auto a = plane.toPicture(from), b = plane.toPicture(to);
    if (!a || !b || near.speed() < leastMovingSpeed) return std::nullopt;
    const double dx = b->x - a->x, dy = b->y - a->y;
    if (std::abs(dx) > std::abs(dy)) return dx > 0 ? Direction::right : Direction::left;
    return dy > 0 ? Direction::down : Direction::up;
}

}  // namespace

namespace {

struct NearMotion {
    Edges edges;
    Run run;
    Motion near;
};

std::optional<NearMotion> nearMotionOf(const std::vector<Box>& boxes, Direction direction,
                                       const RoadPlane& plane) {
    Edges edges = edgesOf(boxes, direction, plane);
    const std::optional<Run> run = longestMovingRun(edges.near);
    if (!run) return std::nullopt;
    const std::optional<Motion> near = motionOf(edges.near, *run);
    if (!near) return std::nullopt;
    return NearMotion{std::move(edges), *run, *near};
}

// A fast vehicle fills the window's height within a few frames; then only
// its side's outline moves as its shape narrows, which looks like a move
// across. Its ground contact tells: when that went along the picture's
// height on the road, so did the vehicle.
std::optional<NearMotion> groundMotionOf(const std::vector<Box>& boxes, Direction& direction,
                                         const RoadPlane& plane) {
    if (!vertical(direction)) {
        if (auto along = nearMotionOf(boxes, Direction::down, plane)) {
            const auto onRoad = directionOnRoad(along->near, along->run, plane);
            if (onRoad && vertical(*onRoad)) {
                direction = *onRoad;
                return along;
            }
        }
    }
    return nearMotionOf(boxes, direction, plane);
}

}  // namespace

PassageMeasures measurePassage(const VehiclePassage& passage, const RoadPlane* plane, int frameWidth) {
    PassageMeasures measures;
    const std::vector<Box> boxes = boxesOf(passage, frameWidth);
    const Passing passing = passingOf(boxes);
    const std::optional<Direction> crossing = crossingOf(passing);
    measures.direction = crossing ? crossing : directionOf(boxes, passing);
    if (plane == nullptr || !measures.direction) return measures;
    const std::optional<NearMotion> ground = crossing ? nearMotionOf(boxes, *crossing, *plane)
                                                      : groundMotionOf(boxes, *measures.direction, *plane);
    if (!ground) return measures;
    const Run& run = ground->run;
    const Motion& near = ground->near;
    measures.speedKmh = near.speed() * 3.6;
    if (!crossing) measures.direction = directionOnRoad(near, run, *plane).value_or(*measures.direction);
    Run farRun = run;
    // The far end is seen whole only once the vehicle is in, coming; going,
    // only until it leaves through the window's top, mostly before the near
    // end has come in.
    if (measures.direction == Direction::down) farRun = {run.from, std::max(run.to, boxes.back().t)};
    if (measures.direction == Direction::up) farRun = {std::min(run.from, boxes.front().t), run.to};
    if (const std::optional<Motion> far = motionOf(ground->edges.far, farRun, 2))
        measures.lengthMetres = lengthOf(near, *far, *measures.direction, run, plane->cameraFoot());
    if (vertical(*measures.direction)) measures.widthMetres = widthOf(boxes, *plane);
    // No vehicle wider than a two-wheeler is that short: what showed was a
    // band of it, by night its lamps, and its length was not seen.
    if (measures.lengthMetres && measures.widthMetres && *measures.widthMetres >= narrowestVehicle &&
        *measures.lengthMetres < narrowestVehicle)
        measures.lengthMetres.reset();
    measures.vehicleClass = classify(measures.widthMetres, measures.lengthMetres, measures.speedKmh);
    return measures;
}

std::optional<VehicleClass> classify(std::optional<double> widthMetres, std::optional<double> lengthMetres,
                                     std::optional<double> speedKmh) {
    // Narrow, or short and not as wide as a car (a person crossing shows no
    // width along the road): on two wheels, or on foot when slow.
    const VehicleClass small =
        speedKmh && *speedKmh < fastestWalker ? VehicleClass::pedestrian : VehicleClass::twoWheeler;
    if (widthMetres && *widthMetres < narrowestVehicle) return small;
    if (!lengthMetres) return std::nullopt;
    if (*lengthMetres < shortestCar && (!widthMetres || *widthMetres < narrowestCar)) return small;
    if (*lengthMetres <= 5.2) return VehicleClass::car;
    if (*lengthMetres <= 6.6) return VehicleClass::van;
    if (*lengthMetres <= 11.6) return VehicleClass::truck;
    return VehicleClass::longTruck;
}

const char* directionName(Direction direction) {
    switch (direction) {
        case Direction::up:
            return "up";
        case Direction::down:
            return "down";
        case Direction::left:
            return "left";
        case Direction::right:
            return "right";
    }
    return "";
}

const char* className(VehicleClass vehicleClass) {
    switch (vehicleClass) {
        case VehicleClass::pedestrian:
            return "pedestrian";
        case VehicleClass::twoWheeler:
            return "two-wheeler";
        case VehicleClass::car:
            return "car";
        case VehicleClass::van:
            return "van";
        case VehicleClass::truck:
            return "truck";
        case VehicleClass::longTruck:
            return "long-truck";
    }
    return "";
}

}  // namespace analysis::survey
