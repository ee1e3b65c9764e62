#include "analysis/survey/passage_pieces.h"

#include <algorithm>
#include <cstdlib>

namespace analysis::survey {
namespace {

using everyvehicle::VehicleOutline;
using everyvehicle::VehiclePassage;

// A cell of the analysis's grid: pieces further apart have road between them.
constexpr int cellWidth = 7;
constexpr int cellHeight = 6;
constexpr std::size_t leastSharedFrames = 3;

bool touch(const VehicleOutline& a, const VehicleOutline& b) {
    const int gapAcross = std::max(a.left, b.left) - std::min(a.right, b.right);
    const int gapAlong = std::max(a.top, b.top) - std::min(a.bottom, b.bottom);
    return gapAcross <= cellWidth && gapAlong <= cellHeight && (gapAcross <= 0 || gapAlong <= 0);
}

bool mostlyLamp(const VehicleOutline& o) { return 2 * o.lampPixels >= o.pixels; }

// By night a vehicle shows as its lamps: two lights on the same rows, the
// dark between them wider than either.
bool lampPair(const VehicleOutline& a, const VehicleOutline& b) {
    if (!mostlyLamp(a) || !mostlyLamp(b)) return false;
    const int gapAcross = std::max(a.left, b.left) - std::min(a.right, b.right);
    const int widest = std::max(a.right - a.left, b.right - b.left);
    return std::abs(a.top - b.top) <= cellHeight && std::abs(a.bottom - b.bottom) <= cellHeight &&
           gapAcross > widest;
}

// Calls `both` for each frame the two passages have an outline in.
template <typename Both>
void sharedFrames(const VehiclePassage& a, const VehiclePassage& b, Both both) {
    auto i = a.outlines.begin();
    auto j = b.outlines.begin();
    while (i != a.outlines.end() && j != b.outlines.end()) {
        if (i->frame < j->frame) {
            ++i;
        } else if (j->frame < i->frame) {
            ++j;
        } else {
            both(*i++, *j++);
        }
    }
}

}  // namespace

bool piecesOfOneVehicle(const VehiclePassage& a, const VehiclePassage& b) {
    if (a.pictureFrame < 0 || a.pictureFrame != b.pictureFrame) return false;
    std::size_t shared = 0, together = 0;
    sharedFrames(a, b, [&](const VehicleOutline& x, const VehicleOutline& y) {
        ++shared;
        together += touch(x, y) || lampPair(x, y) ? 1 : 0;
    });
    return shared >= leastSharedFrames && together * 2 > shared;
}

VehiclePassage joinedPieces(const VehiclePassage& a, const VehiclePassage& b) {
    VehiclePassage joined = a;
    joined.outlineStep = std::max(a.outlineStep, b.outlineStep);
    joined.outlines.clear();
    std::vector<VehicleOutline> all = a.outlines;
    all.insert(all.end(), b.outlines.begin(), b.outlines.end());
    std::stable_sort(all.begin(), all.end(),
                     [](const VehicleOutline& x, const VehicleOutline& y) { return x.frame < y.frame; });
    for (const VehicleOutline& o : all) {
        if (joined.outlines.empty() || joined.outlines.back().frame != o.frame) {
            joined.outlines.push_back(o);
            continue;
        }
        VehicleOutline& u = joined.outlines.back();
        // An edge of the union is cut when the piece that reaches it is.
        const auto edge = [](std::int32_t& mine, bool& myCut, std::int32_t theirs, bool theirCut,
                             bool further) {
            if (theirs == mine) myCut = myCut || theirCut;
            if (further) {
                mine = theirs;
                myCut = theirCut;
            }
        };
        edge(u.top, u.cutTop, o.top, o.cutTop, o.top < u.top);
        edge(u.bottom, u.cutBottom, o.bottom, o.cutBottom, o.bottom > u.bottom);
        edge(u.left, u.cutLeft, o.left, o.cutLeft, o.left < u.left);
        edge(u.right, u.cutRight, o.right, o.cutRight, o.right > u.right);
        u.pixels += o.pixels;
        u.lampPixels += o.lampPixels;
    }
    return joined;
}

}  // namespace analysis::survey

namespace analysis::survey {

void VehicleGathering::add(const std::vector<everyvehicle::VehiclePassage>& departed) {
    for (const everyvehicle::VehiclePassage& passage : departed) {
        if (!passage.outlines.empty()) held_.push_back(passage);
    }
}

std::vector<everyvehicle::VehiclePassage> VehicleGathering::gathered(double now, bool all) {
    std::vector<everyvehicle::VehiclePassage> vehicles;
    if (held_.empty()) return vehicles;
    // Pieces of one vehicle, transitively: a group per vehicle, named by its
    // first piece. A piece may touch only another that touches the first.
    std::vector<std::size_t> group(held_.size());
    const auto leaderOf = [&group](std::size_t i) {
        while (group[i] != i) i = group[i];
        return i;
    };
    for (std::size_t i = 0; i < held_.size(); ++i) {
        group[i] = i;
        for (std::size_t j = 0; j < i; ++j) {
            if (!piecesOfOneVehicle(held_[i], held_[j])) continue;
            const std::size_t a = leaderOf(i), b = leaderOf(j);
            group[std::max(a, b)] = std::min(a, b);
        }
    }
    for (std::size_t i = 0; i < held_.size(); ++i) group[i] = leaderOf(i);
    std::vector<everyvehicle::VehiclePassage> kept;
    for (std::size_t leader = 0; leader < held_.size(); ++leader) {
        if (group[leader] != leader) continue;
        double lastSeen = 0;
        everyvehicle::VehiclePassage vehicle = held_[leader];
        for (std::size_t i = 0; i < held_.size(); ++i) {
            if (group[i] != leader) continue;
            lastSeen = std::max(lastSeen, held_[i].outlines.back().seconds);
            if (i != leader) vehicle = joinedPieces(vehicle, held_[i]);
        }
        const bool ready = all || lastSeen + holdSeconds <= now;
        for (std::size_t i = 0; i < held_.size(); ++i) {
            if (group[i] == leader && !ready) kept.push_back(held_[i]);
        }
        if (ready) vehicles.push_back(std::move(vehicle));
    }
    held_ = std::move(kept);
    return vehicles;
}

}  // namespace analysis::survey
