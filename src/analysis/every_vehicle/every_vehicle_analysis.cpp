#include "analysis/every_vehicle/every_vehicle_analysis.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace analysis::everyvehicle {
namespace {

// The empty scene is the median of frames a tenth of a second apart over two
// seconds: a pixel shows the road in most of them even in dense traffic.
constexpr double learningSeconds = 2.0;
constexpr double sampleSeconds = 0.1;
constexpr std::size_t fewestSamples = 3;
// Frames kept for the second look at the learning time; a faster source
// learns from fewer seconds.
constexpr std::size_t learningFrameCapacity = 256;
// Most of the frame unlike the empty scene for this long: the camera was
// moved or the scene has changed for good, and it is learnt again.
constexpr float changedSceneShare = 0.5f;
constexpr double changedSceneSeconds = 10.0;
// A vehicle is pictured once it has been seen this long and has moved this
// far (in cells); what never moves (a shadow, a ghost of a vehicle that has
// left, a light switched on) becomes part of the empty scene after a while.
constexpr double shortestVisitSeconds = 0.3;
constexpr float shortestTravelCells = 2.0f;
constexpr double stillShapeSeconds = 5.0;
// A vehicle standing far longer than a queue at lights has parked: the
// empty scene takes it in, as it takes in the road it leaves behind.
constexpr double parkedSeconds = 300.0;
// The best frame is known once the vehicle covers less than this share of
// what it covered at most, or has been in the window this long (a queue).
constexpr float leavingShare = 0.8f;
constexpr double longestWaitSeconds = 3.0;
// Light changes over seconds: the empty scene follows it ten times a second,
// however many frames come.
constexpr double followEverySeconds = 0.1;
// The points the frames are aligned by follow the light, by this share of
// the difference a frame: at 25 frames/s, within seconds.
constexpr float alignmentFollowShare = 0.01f;
// Darker than this, the empty road shows no vehicle but its lamps, which
// cover two cells or more.
constexpr float litRoadLevel = 32.0f;
// Up to twice as light (dusk, a road under street lamps) vehicles come with
// their lamps on; by day a white body in the sun clips like a lamp.
constexpr float lampsOnLevel = 2 * litRoadLevel;
constexpr std::int32_t lampCells = 2;
// A lamp covers a few pixels even far off.
constexpr std::int32_t fewestLampPixels = 3;
// Cells to either side of a vehicle that still count as beside it, and how
// long after it was last seen its rear may still come: a long vehicle's
// length at a crawl.
constexpr std::int32_t besideCells = 2;
constexpr double rearSeconds = 2.0;
// Lamps of which all but a quarter are red are tail lamps; of which a
// quarter at most, head lamps.
constexpr std::int32_t redShareDivisor = 4;
// A vehicle's outline crosses cells: two of them at least are sharp, and an
// eighth of all it covers, or, for one bigger than the window, as many as
// there are cells along one side of a square of all it covers (its front
// alone crossing the window). A soft shadow far bigger than a vehicle has a
// few sharp cells where it crosses a marking.
constexpr std::int32_t fewestSharpCells = 2;
constexpr std::int32_t sharpShareDivisor = 8;
// A track covering all but a tenth of the window fills it.
constexpr std::int32_t fillingShareDivisor = 10;
// A cell is occupied when a fifth of its pixels differ from the empty scene.
constexpr std::int32_t occupiedShareDivisor = 5;

bool tailLamps(std::int32_t redLampPixels, std::int32_t lampPixels) {
    return redLampPixels >= fewestLampPixels &&
           redLampPixels * redShareDivisor >= lampPixels * (redShareDivisor - 1);
}

bool headLamps(std::int32_t redLampPixels, std::int32_t lampPixels) {
    return lampPixels >= fewestLampPixels && redLampPixels * redShareDivisor <= lampPixels;
}

bool showsEdges(std::int32_t sharpCells, std::int32_t cells) {
    const auto side = static_cast<std::int32_t>(std::sqrt(static_cast<double>(cells)));
    return sharpCells >= std::max(fewestSharpCells, std::min(side, cells / sharpShareDivisor));
}

}  // namespace

EveryVehicleAnalysis::EveryVehicleAnalysis(const Rectangle& window, bool darkVehiclesOnly)
    : window_(window), darkVehiclesOnly_(darkVehiclesOnly) {
    verdict_.pictures.reserve(8);
}

const FrameVerdict& EveryVehicleAnalysis::look(const GrayFrame& frame, double seconds) {
    verdict_.keepFrame = false;
    verdict_.learnt = false;
    verdict_.learntAgain = false;
    verdict_.pictures.clear();
    verdict_.departed.clear();
    verdict_.frame = -1;
    if (!containsWindow(frame, window_)) return verdict_;
    const std::int64_t number = nextFrame_++;
    verdict_.frame = number;
    if (learnt_) {
        alignToEmptyScene(frame);
        watch(pixels_, number, seconds, true);
    } else {
        learn(frame, number, seconds);
    }
    if (!learnt_) {
        verdict_.oldestNeeded = learningUsed_ > 0 ? learning_.front().frame : number + 1;
    } else {
        verdict_.oldestNeeded = holding_ ? heldFrame_ : number + 1;
    }
    return verdict_;
}

void EveryVehicleAnalysis::alignToEmptyScene(const GrayFrame& frame) {
    const Displacement shift = alignment_.measure(frame, figures_.gain, figures_.noise);
    extractAlignedPixels(frame, window_, shift, pixels_);
    alignment_.follow(frame, shift, figures_.gain, alignmentFollowShare);
    figures_.shift = shift;
}

void EveryVehicleAnalysis::learn(const GrayFrame& frame, std::int64_t number, double seconds) {
    if (learningUsed_ == 0) {
        learningStart_ = seconds;
        nextSample_ = seconds;
    }
    const bool sample = seconds >= nextSample_;
    if (sample) {
        model_.addSample(frame);
        while (nextSample_ <= seconds) nextSample_ += sampleSeconds;
    }
    if (learningUsed_ == learning_.size()) learning_.emplace_back();
    LearningFrame& kept = learning_[learningUsed_++];
    extractWatchedPixels(frame, window_, kept.pixels);
    kept.frame = number;
    kept.seconds = seconds;
    kept.kept = sample;
    verdict_.keepFrame = sample;
    const bool longEnough =
        seconds - learningStart_ >= learningSeconds && model_.sampleCount() >= fewestSamples;
    if (longEnough || learningUsed_ >= learningFrameCapacity ||
        model_.sampleCount() >= EmptySceneModel::sampleCapacity) {
        finishLearning();
    }
}

void EveryVehicleAnalysis::finishLearning() {
    model_.learnFromSamples(window_, alignment_);
    const auto& empty = model_.emptyScene();
    alignment_.chooseFrom({empty.data(), model_.frameWidth(), model_.frameHeight()});
    tracks_.reset(model_.cells());
    picturedLately_.clear();
    passages_.reset(window_, model_.cells());
    occupied_.assign(static_cast<std::size_t>(model_.cells().count()), 0);
    (timesLearnt_ == 0 ? verdict_.learnt : verdict_.learntAgain) = true;
    ++timesLearnt_;
    learnt_ = true;
    holding_ = false;
    heldCells_ = 0;
    lastFollow_ = -1;
    changedSince_ = -1;
    lampsArrivedSeconds_ = -1;
    rearSinceArrival_ = false;
    previousWindow_.clear();
    for (std::size_t i = 0; i < learningUsed_; ++i) {
        const LearningFrame& seen = learning_[i];
        watch(seen.pixels, seen.frame, seen.seconds, seen.kept);
    }
    learningUsed_ = 0;
}

void EveryVehicleAnalysis::startLearning() {
    learnt_ = false;
    learningUsed_ = 0;
    model_.forget();
    figures_.learning = true;
}

void EveryVehicleAnalysis::watch(const WatchedPixels& pixels, std::int64_t frame, double seconds,
                                 bool keepable) {
    const LightMeasure light = model_.measureLight(pixels);
    figures_.learning = false;
    figures_.noise = light.noise;
    figures_.threshold = light.threshold;
    figures_.gain = light.gain;
    if (sceneChanged(light, seconds)) {
        startLearning();
        return;
    }
    model_.markForeground(pixels, light, counts_);
    std::int32_t occupiedCells = 0;
    for (std::size_t cell = 0; cell < occupied_.size(); ++cell) {
        const bool changed = counts_.foreground[cell] * occupiedShareDivisor >= CellGrid::cellPixels;
        CellChange change;
        if (changed) change = model_.changeOf(pixels, light, static_cast<std::int32_t>(cell));
        // A lamp is no change of light, whatever the road under it shows.
        const bool lamp = counts_.lamps[cell] > 0;
        occupied_[cell] = changed && (lamp || !change.relit) ? 1 : 0;
        counts_.sharp[cell] = occupied_[cell] != 0 && (lamp || change.sharp) ? 1 : 0;
        occupiedCells += occupied_[cell];
    }
    tracks_.follow(occupied_, counts_, frame, seconds);
    lampsSeen_ = !pixels.brightest.empty();
    passages_.record(tracks_, model_.changedPixels(), frame, seconds);
    if (lastFollow_ < 0 || seconds - lastFollow_ >= followEverySeconds) {
        model_.follow(pixels, light, tracks_.busyCells(), lastFollow_ < 0 ? 0.0 : seconds - lastFollow_);
        lastFollow_ = seconds;
    }
    absorbStillShapes(pixels, light, seconds);
    rememberPictured(seconds);
    followStreams(pixels, frame, seconds);
    followLamps(frame, seconds);
    decide(frame, seconds, keepable);
    handOverPassages(false);
    tracks_.forgetDeparted();
    figures_.coverPercent = occupiedCells * 100 / std::max(1, model_.cells().count());
    figures_.vehicles = static_cast<std::int32_t>(std::count_if(
        tracks_.tracks().begin(), tracks_.tracks().end(),
        [this](const Track& track) { return track.alive && track.peakCells >= fewestCells(track); }));
}

// A pictured track whose content has flowed across the whole window since,
// without shrinking, holds vehicles that came in after its picture: a queue
// driving off, or a platoon too close for a gap to show. It is pictured again.
void EveryVehicleAnalysis::followStreams(const WatchedPixels& pixels, std::int64_t frame, double seconds) {
    const std::int32_t columns = window_.right - window_.left;
    // By night each vehicle of a stream shows lamps of its own, apart from
    // the others'; the light and reflections one vehicle throws flow too.
    const bool comparable = previousWindow_.size() == pixels.window.size() && !night();
    for (Track& track : tracks_.tracks()) {
        // A vehicle waiting for its picture: what flows through it after the
        // frame held for it may be the next vehicle.
        const bool waiting = !track.pictured && holding_ && track.bornFrame <= heldFrame_;
        if (!comparable || !track.alive || !(track.pictured || waiting) || track.cells < fewestCells(track))
            continue;
        const PixelBox box{track.firstRow * CellGrid::cellHeight, (track.lastRow + 1) * CellGrid::cellHeight,
                           track.firstColumn * CellGrid::cellWidth,
                           (track.lastColumn + 1) * CellGrid::cellWidth};
        const Flow flow = flow_.measure(pixels.window, previousWindow_, columns, box);
        track.flowRows += flow.rows;
        track.flowColumns += flow.columns;
        if (waiting) continue;
        if (!flowedAcross(track)) continue;
        // A vehicle on its way out shrinks; a stream keeps its size, and the
        // edges of its vehicles (what is left of a vehicle gone may be a shadow).
        if (static_cast<float>(track.cells) < leavingShare * static_cast<float>(track.picturedCells) ||
            !showsEdges(track.sharpCellsNow, track.cells))
            continue;
        startStream(track, frame, seconds);
    }
    previousWindow_.assign(pixels.window.begin(), pixels.window.end());
}

// A vehicle longer than the window flows across it too: without road seen
// between two vehicles, half as far again. What filled the window may be one
// vehicle creeping through it: only road between tells.
bool EveryVehicleAnalysis::flowedAcross(const Track& track) const {
    const bool fills =
        track.peakCells * fillingShareDivisor >= model_.cells().count() * (fillingShareDivisor - 1);
    const auto across = [fills](std::int32_t flow, std::int32_t size, bool waist) {
        return waist ? std::abs(flow) >= size : !fills && 2 * std::abs(flow) >= 3 * size;
    };
    return across(track.flowRows, window_.bottom - window_.top, track.waistAcrossRows) ||
           across(track.flowColumns, window_.right - window_.left, track.waistAcrossColumns);
}

// With lamps on, the light a vehicle throws ahead and its reflections may
// join it to the one behind; head lamps that come in through the window's border
// into a track after its own have gone are another vehicle's. When they come
// into a vehicle waiting for its picture, after the frame held for it, they
// still need one of their own.
void EveryVehicleAnalysis::followLamps(std::int64_t frame, double seconds) {
    if (!lampsOn()) return;
    for (Track& track : tracks_.tracks()) {
        if (!track.alive || !lampsCameIn(track, seconds)) continue;
        // One vehicle's lamps come into the tracks of its parts within moments.
        const bool sameArrival = lampsArrivedSeconds_ >= 0 && seconds != lampsArrivedSeconds_ &&
                                 seconds - lampsArrivedSeconds_ < shortestVisitSeconds;
        if (sameArrival) continue;
        lampsArrivedSeconds_ = seconds;
        rearSinceArrival_ = false;
        if (track.pictured) {
            startStream(track, frame, seconds);
        } else {
            track.arrivalFrame = frame;
            track.arrivalSeconds = seconds;
        }
    }
}

bool EveryVehicleAnalysis::lampsCameIn(Track& track, double seconds) {
    if (track.lampPixelsNow == 0) {
        if (track.lampsGoneSeconds < 0) track.lampsGoneSeconds = seconds;
        return false;
    }
    const bool rear = tailLamps(track.redLampPixelsNow, track.lampPixelsNow);
    const bool afterGap =
        track.lampsGoneSeconds >= 0 && seconds - track.lampsGoneSeconds >= shortestVisitSeconds && !rear;
    // Head lamps coming in after a rear (the first since a vehicle last came
    // in) are the next vehicle's, however short the gap.
    const bool afterRear = track.rearSeen && rearSinceArrival_ &&
                           headLamps(track.redLampPixelsNow, track.lampPixelsNow) &&
                           2 * track.lampPixelsOnBorderNow >= track.lampPixelsNow;
    if (rear) rearSinceArrival_ = true;
    const bool cameIn = (afterGap || afterRear) && track.lampPixelsOnBorderNow >= fewestLampPixels;
    track.lampsGoneSeconds = -1;
    // The rear seen was the vehicle's before: the new one's is still to come.
    track.rearSeen = (track.rearSeen || rear) && !cameIn;
    return cameIn;
}

void EveryVehicleAnalysis::startStream(Track& track, std::int64_t frame, double seconds) {
    track.pictured = false;
    track.streaming = true;
    track.bornFrame = frame;
    track.bornSeconds = seconds;
}

bool EveryVehicleAnalysis::sceneChanged(const LightMeasure& light, double seconds) {
    if (light.changedShare <= changedSceneShare) {
        changedSince_ = -1;
        return false;
    }
    if (changedSince_ < 0) changedSince_ = seconds;
    return seconds - changedSince_ >= changedSceneSeconds;
}

void EveryVehicleAnalysis::absorbStillShapes(const WatchedPixels& pixels, const LightMeasure& light,
                                             double seconds) {
    for (const Track& track : tracks_.tracks()) {
        const bool still = track.pictured ? seconds - track.restingSince >= parkedSeconds
                                          : track.travel < shortestTravelCells &&
                                                seconds - track.bornSeconds >= stillShapeSeconds;
        if (!track.alive || !still) continue;
        const CellValues<std::int32_t>& labels = tracks_.labels();
        for (std::size_t cell = 0; cell < labels.size(); ++cell) {
            if (labels[cell] == track.id) model_.absorbCell(pixels, light, static_cast<std::int32_t>(cell));
        }
        tracks_.release(track);
    }
}

bool EveryVehicleAnalysis::eligible(const Track& track, double seconds) const {
    return (track.streaming || seconds - track.bornSeconds >= shortestVisitSeconds) && mayBeVehicle(track);
}

// Where a vehicle's body does not stand out from the road (by night, at
// dusk), only its lamps show, however light the road still is.
std::int32_t EveryVehicleAnalysis::fewestCells(const Track& track) const {
    const bool lamps = track.lampPixels >= fewestLampPixels;
    return lamps || dark() ? lampCells : vehicleCells;
}

// By night a vehicle shows its lamps; the light they throw on the road
// ahead of it, and the road's reflections, are no vehicle without them.
bool EveryVehicleAnalysis::night() const { return lampsSeen_ && dark(); }

// A street lamp may light the window well when the scene around it is dark:
// the vehicles still come with their lamps on and their light thrown ahead.
bool EveryVehicleAnalysis::dark() const {
    return std::min(model_.windowLevel(), model_.sceneLevel()) < litRoadLevel;
}

bool EveryVehicleAnalysis::lampsOn() const {
    return lampsSeen_ && std::min(model_.windowLevel(), model_.sceneLevel()) < lampsOnLevel;
}

// A change of light with no edge and no lamp in it (a soft shadow, a beam
// on plain road) is no vehicle, however large.
// By night a vehicle falls apart into its lamps, the light ahead of it and
// its reflections, with its dark body between: a few lamp cells, or red
// tail lamps, beside a vehicle pictured a moment ago are more of it. Another
// vehicle comes with the light of its own head lamps ahead of it.
bool EveryVehicleAnalysis::partOfPictured(const Track& track) const {
    // Red lamps alone are a rear: of the vehicle ahead, if one was there.
    const bool rear = tailLamps(track.redLampPixels, track.lampPixels);
    const bool unlit = track.lampPixels < fewestLampPixels && lampsOn();
    return std::any_of(picturedLately_.begin(), picturedLately_.end(), [&](const PicturedVehicle& vehicle) {
        const bool beside = vehicle.track != track.id &&
                            track.firstColumn <= vehicle.lastColumn + besideCells &&
                            track.lastColumn >= vehicle.firstColumn - besideCells;
        // Behind a vehicle that came with its lamps on, a shape without
        // lamps of its own that came in after it is its body or its shadow.
        const bool behindLampsOn = vehicle.headLamps && unlit && track.id > vehicle.track;
        return beside && (track.peakCells < vehicleCells || rear || behindLampsOn);
    });
}

// Where pictured vehicles are, and were a moment ago: a vehicle's rear
// comes into the window after its front.
void EveryVehicleAnalysis::rememberPictured(double seconds) {
    std::erase_if(picturedLately_, [seconds](const PicturedVehicle& vehicle) {
        return seconds - vehicle.seconds > rearSeconds;
    });
    for (const Track& track : tracks_.tracks()) {
        if (!track.alive || !track.pictured) continue;
        const auto known =
            std::find_if(picturedLately_.begin(), picturedLately_.end(),
                         [&](const PicturedVehicle& vehicle) { return vehicle.track == track.id; });
        const bool lampsAhead =
            track.lampPixels >= fewestLampPixels && !tailLamps(track.redLampPixels, track.lampPixels);
        const PicturedVehicle now{track.id, track.firstColumn, track.lastColumn, seconds, lampsAhead};
        if (known == picturedLately_.end()) {
            picturedLately_.push_back(now);
        } else {
            // A vehicle leaving shrinks to its last cells: its rear lamps lie
            // where its body was widest.
            known->firstColumn = std::min(known->firstColumn, now.firstColumn);
            known->lastColumn = std::max(known->lastColumn, now.lastColumn);
            known->seconds = seconds;
            known->headLamps = known->headLamps || lampsAhead;
        }
    }
}

bool EveryVehicleAnalysis::mayBeVehicle(const Track& track) const {
    const bool lamps = track.lampPixels >= fewestLampPixels;
    const bool shows = night() ? lamps : lamps || showsEdges(track.sharpCells, track.peakCells);
    return !track.pictured && track.peakCells >= fewestCells(track) && track.travel >= shortestTravelCells &&
           shows && !partOfPictured(track) && (track.dark || !darkVehiclesOnly_);
}

void EveryVehicleAnalysis::decide(std::int64_t frame, double seconds, bool keepable) {
    bool due = false;
    std::int32_t decidingCells = 0;
    std::int32_t unpicturedCells = 0;
    for (const Track& track : tracks_.tracks()) {
        // Only what may be a vehicle now chooses the frame: by night its lamps
        // with the body behind them, by day its edges (not a shadow's breadth).
        const bool lampsNow = track.lampPixelsNow > 0;
        const bool vehicleNow = night() ? lampsNow : lampsNow || showsEdges(track.sharpCellsNow, track.cells);
        if (track.alive && !track.pictured && vehicleNow) unpicturedCells += track.cells;
        if (!eligible(track, seconds)) continue;
        const bool bestFrameKnown =
            !track.alive || track.streaming ||
            static_cast<float>(track.cells) < leavingShare * static_cast<float>(track.peakCells) ||
            seconds - track.bornSeconds > longestWaitSeconds;
        if (!bestFrameKnown) continue;
        due = true;
        decidingCells = std::max(decidingCells, track.peakCells);
    }
    releaseStaleHold();
    if (keepable && unpicturedCells > heldCells_) {
        holding_ = true;
        heldCells_ = unpicturedCells;
        heldFrame_ = frame;
        verdict_.keepFrame = true;
        for (Track& track : tracks_.tracks()) {
            if (!track.pictured) track.flowRows = track.flowColumns = 0;
        }
    }
    if (due && holding_) takePicture(decidingCells);
}

// What the held frame was held for has left unpictured, never shown to be
// a vehicle (a beam, a shadow): it is no picture of the vehicles coming now.
void EveryVehicleAnalysis::releaseStaleHold() {
    if (!holding_) return;
    const bool shown =
        std::any_of(tracks_.tracks().begin(), tracks_.tracks().end(),
                    [this](const Track& track) { return !track.pictured && track.bornFrame <= heldFrame_; });
    if (shown) return;
    holding_ = false;
    heldCells_ = 0;
}

void EveryVehicleAnalysis::takePicture(std::int32_t peakCells) {
    verdict_.pictures.push_back({heldFrame_, peakCells * 100 / std::max(1, model_.cells().count())});
    for (Track& track : tracks_.tracks()) {
        if (track.bornFrame > heldFrame_) continue;
        // One that waited its longest at its largest while its content flowed
        // across the window shows other vehicles now than in its picture.
        const bool atPeak =
            static_cast<float>(track.cells) >= leavingShare * static_cast<float>(track.peakCells);
        const bool othersCameIn = !track.pictured && atPeak && flowedAcross(track);
        if (!track.pictured) passages_.pictured(track.id, heldFrame_);
        if (!othersCameIn) {
            track.flowRows = 0;
            track.flowColumns = 0;
        }
        track.pictured = true;
        track.streaming = false;
        track.waistAcrossRows = false;
        track.waistAcrossColumns = false;
        track.picturedCells = track.cells;
        track.lampsGoneSeconds = -1;
        if (track.arrivalFrame > heldFrame_) startStream(track, track.arrivalFrame, track.arrivalSeconds);
    }
    holding_ = false;
    heldCells_ = 0;
}

// Passages of tracks too small or too still to be a vehicle are dropped.
void EveryVehicleAnalysis::handOverPassages(bool all) {
    handedOver_.clear();
    passages_.handOver(tracks_, all, handedOver_);
    for (VehiclePassage& passage : handedOver_) {
        const auto track =
            std::find_if(tracks_.tracks().begin(), tracks_.tracks().end(),
                         [&](const Track& candidate) { return candidate.id == passage.vehicle; });
        const bool candidate = track != tracks_.tracks().end() && track->peakCells >= fewestCells(*track) &&
                               track->travel >= shortestTravelCells;
        if (passage.pictureFrame >= 0 || candidate) verdict_.departed.push_back(std::move(passage));
    }
}

const FrameVerdict& EveryVehicleAnalysis::lastLook() {
    verdict_.pictures.clear();
    verdict_.departed.clear();
    if (!learnt_ && learningUsed_ > 0 && model_.sampleCount() > 0) finishLearning();
    if (!learnt_) return verdict_;
    std::int32_t waitingCells = 0;
    for (const Track& track : tracks_.tracks()) {
        // One that has only just come in has had no time to show itself longer.
        if (track.alive && mayBeVehicle(track)) waitingCells = std::max(waitingCells, track.peakCells);
    }
    if (waitingCells > 0 && holding_) takePicture(waitingCells);
    handOverPassages(true);
    return verdict_;
}

std::vector<VehiclePassage> EveryVehicleAnalysis::passagesPicturedIn(std::int64_t frame) const {
    std::vector<VehiclePassage> pictured;
    for (const auto* passages : {&passages_.open(), &verdict_.departed}) {
        std::copy_if(passages->begin(), passages->end(), std::back_inserter(pictured),
                     [frame](const VehiclePassage& passage) { return passage.pictureFrame == frame; });
    }
    return pictured;
}

}  // namespace analysis::everyvehicle
