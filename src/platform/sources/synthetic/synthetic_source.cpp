#include "platform/sources/synthetic/synthetic_source.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/frame.h>
}

#include "platform/sources/ffmpeg_diagnostics.h"
#include "platform/sources/full_size_frame.h"
#include "platform/sources/synthetic/synthetic_beams.h"
#include "platform/sources/synthetic/synthetic_layout.h"
#include "platform/sources/synthetic/synthetic_night_lights.h"
#include "platform/sources/synthetic/synthetic_traffic.h"
#include "platform/sources/synthetic/synthetic_walkers.h"

namespace platform {
namespace {

using synthetic::Vehicle;

std::int64_t frameAtOrBefore(double seconds, FrameRate rate) {
    return static_cast<std::int64_t>(
        std::floor(seconds * static_cast<double>(rate.numerator) / static_cast<double>(rate.denominator)));
}

// The frames in which a queue's first vehicle stands in the window; the
// vehicles standing behind it do not reach the window.
std::optional<QueueStop> queueStopOf(const Vehicle& vehicle, FrameRate rate) {
    if (!vehicle.halt || vehicle.halt->frontDepth >= synthetic::entryDepth()) return std::nullopt;
    std::int64_t first = frameAtOrBefore(vehicle.halt->fromSeconds, rate);
    if (synthetic::frameSeconds(first, rate) < vehicle.halt->fromSeconds) ++first;
    return QueueStop{first, frameAtOrBefore(vehicle.halt->toSeconds, rate)};
}

synthetic::Heading headingOf(const synthetic::Walker& walker) {
    if (walker.lateralSpeed > 0) return synthetic::Heading::rightward;
    if (walker.lateralSpeed < 0) return synthetic::Heading::leftward;
    return walker.depthSpeed > 0 ? synthetic::Heading::away : synthetic::Heading::toward;
}

}  // namespace

bool SyntheticSource::inWindowAt(const Vehicle& vehicle, std::int64_t frame) const {
    return frame >= 0 && synthetic::inDetectionWindow(vehicle, synthetic::frameSeconds(frame, rate_),
                                                      shakeOffset(frame).dy);
}

// The frames of the vehicle's visit, found by asking the renderer's own test
// frame by frame from just before its arrival (the shake moves it by a few
// rows at most); nullopt for a visit that falls between two frames.
std::optional<VehicleVisit> SyntheticSource::visitOf(const Vehicle& vehicle) const {
    const std::int64_t departure = frameAtOrBefore(synthetic::departureSeconds(vehicle), rate_) + 4;
    std::int64_t first = std::max<std::int64_t>(frameAtOrBefore(vehicle.arrivalSeconds, rate_) - 4, 0);
    while (first <= departure && !inWindowAt(vehicle, first)) ++first;
    if (first > departure) return std::nullopt;
    std::int64_t last = first;
    while (inWindowAt(vehicle, last + 1)) ++last;
    return VehicleVisit{first, last, vehicle.tone};
}

// Scans from before its beams can reach the window to its body's arrival.
void SyntheticSource::addBeamLeads(const Vehicle& vehicle, std::vector<BeamLead>& leads) const {
    const double reachDepth =
        synthetic::roadDepth(synthetic::detectionWindowTopRow - 8.0) + synthetic::beamReachMetres();
    std::int64_t frame = std::max<std::int64_t>(
        frameAtOrBefore(synthetic::secondsAtFrontDepth(vehicle, reachDepth), rate_), 0);
    const std::int64_t arrival = frameAtOrBefore(vehicle.arrivalSeconds, rate_) + 8;
    std::optional<BeamLead> open;
    for (; frame <= arrival && !inWindowAt(vehicle, frame); ++frame) {
        const double seconds = synthetic::frameSeconds(frame, rate_);
        const bool lit = synthetic::lampShare(synthetic::sceneLight(options_, seconds)) >= 0.5 &&
                         synthetic::beamInDetectionWindow(vehicle, seconds, shakeOffset(frame).dy);
        if (lit && !open) open = BeamLead{frame, frame};
        if (lit) open->lastFrame = frame;
        if (!lit && open) {
            leads.push_back(*open);
            open.reset();
        }
    }
    if (open) leads.push_back(*open);
}

synthetic::ShakeOffset SyntheticSource::shakeOffset(std::int64_t frame) const {
    if (!options_.shake) return {0.0, 0.0};
    return synthetic::shakeOffset(options_.seed, synthetic::frameSeconds(frame, rate_));
}

SyntheticSource::SyntheticSource(const synthetic::SceneOptions& options, FrameRate rate)
    : options_(options), rate_(rate), renderer_(options, rate) {
    // swscale's SIMD code reads the last row in whole blocks, past its last
    // pixel: the picture's memory goes on a little further than the picture.
    constexpr std::size_t readPastTheEnd = 64;
    picture_.reserve(synthetic::pictureBytes + readPastTheEnd);
    picture_.resize(synthetic::pictureBytes);
}

bool SyntheticSource::open(std::string& failure) {
    if (open_) return true;
    Picture first{};
    // The filter's first picture gives the native size, or tells why there is none.
    if (filter_ && !deliveredFrame(std::max<std::int64_t>(lastFrame_, 0), first, failure)) {
        failure = "synthetic: " + failure;
        return false;
    }
    open_ = true;
    return true;
}

bool SyntheticSource::setFilter(const std::string& description, std::string& failure) {
    auto filter = std::make_unique<FrameFilter>(description);
    const FrameFilter::Input input{
        synthetic::pictureWidth, synthetic::pictureHeight, AV_PIX_FMT_BGR24, {1, 1}};
    if (!filter->parse(input, failure)) return false;
    filter_ = std::move(filter);
    return true;
}

bool SyntheticSource::deliveredFrame(std::int64_t frame, Picture& picture, std::string& failure) {
    const std::vector<std::uint8_t>& drawn = nativeFrame(frame);
    if (!filter_) {
        picture =
            Picture{nullptr, nullptr, AV_PIX_FMT_BGR24, synthetic::pictureWidth, synthetic::pictureHeight};
        return true;
    }
    AVFrame* copy = copyBgrPicture(drawn.data(), synthetic::pictureWidth, synthetic::pictureHeight,
                                   synthetic::pictureRowBytes);
    filtered_ = copy != nullptr ? filter_->apply(copy, failure) : nullptr;
    av_frame_free(&copy);
    if (filtered_ == nullptr) return false;
    picture = Picture{filtered_->data, filtered_->linesize, static_cast<AVPixelFormat>(filtered_->format),
                      filtered_->width, filtered_->height};
    return true;
}

std::shared_ptr<const FullSizeFrame> SyntheticSource::fullSizeFrame() const {
    if (lastFrame_ < 0 || pictureFrame_ != lastFrame_) return nullptr;
    if (filter_) return filtered_ != nullptr ? std::make_shared<const FullSizeFrame>(filtered_) : nullptr;
    AVFrame* copy = copyBgrPicture(picture_.data(), synthetic::pictureWidth, synthetic::pictureHeight,
                                   synthetic::pictureRowBytes);
    if (copy == nullptr) return nullptr;
    auto full = std::make_shared<const FullSizeFrame>(copy);
    av_frame_free(&copy);
    return full;
}

void SyntheticSource::close() { open_ = false; }
bool SyntheticSource::isOpen() const { return open_; }
bool SyntheticSource::isLive() const { return false; }
int SyntheticSource::nativeWidth() const { return filtered_ ? filtered_->width : synthetic::pictureWidth; }
int SyntheticSource::nativeHeight() const { return filtered_ ? filtered_->height : synthetic::pictureHeight; }

double SyntheticSource::recordingSeconds() const {
    return options_.frameCount ? synthetic::frameSeconds(*options_.frameCount, rate_) : 0.0;
}

GrabOutcome SyntheticSource::grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                                  std::int64_t& dueNanoseconds) {
    if (!open_) return GrabOutcome::failed;
    std::int64_t frame = frameForGrab(elapsedNanoseconds, lastFrame_, rate_);
    GrabOutcome outcome = GrabOutcome::delivered;
    if (options_.frameCount && frame >= *options_.frameCount) {
        frame = *options_.frameCount - 1;
        outcome = GrabOutcome::endOfRecording;
    }
    Picture native{};
    std::string failure;
    if (!deliveredFrame(frame, native, failure)) {
        if (!reportedFilter_) reportSourceProblem("synthetic", failure);
        reportedFilter_ = true;
        return GrabOutcome::failed;
    }
    const std::uint8_t* const planes[4] = {picture_.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {synthetic::pictureRowBytes, 0, 0, 0};
    if (native.planes == nullptr) {
        native.planes = planes;
        native.strides = strides;
    }
    if (!scaler_.scale(native, width, height, image)) return GrabOutcome::failed;
    dueNanoseconds = frameDueNanoseconds(frame, rate_);
    lastFrame_ = frame;
    return outcome;
}

const std::vector<std::uint8_t>& SyntheticSource::nativeFrame(std::int64_t frame) {
    if (frame != pictureFrame_) {
        renderer_.render(frame, picture_.data());
        pictureFrame_ = frame;
    }
    return picture_;
}

std::vector<Vehicle> SyntheticSource::vehiclesAround(std::int64_t firstFrame, std::int64_t lastFrame) const {
    std::vector<Vehicle> all;
    if (!options_.traffic) return all;
    std::vector<Vehicle> vehicles;
    const std::int64_t lastStretch = synthetic::stretchOf(synthetic::frameSeconds(lastFrame, rate_));
    for (auto stretch = synthetic::stretchOf(synthetic::frameSeconds(firstFrame, rate_));
         stretch <= lastStretch; ++stretch) {
        synthetic::scheduleStretch(options_, stretch, vehicles);
        all.insert(all.end(), vehicles.begin(), vehicles.end());
    }
    return all;
}

std::vector<VehicleVisit> SyntheticSource::detectionWindowVisits(std::int64_t firstFrame,
                                                                 std::int64_t lastFrame) const {
    std::vector<VehicleVisit> visits;
    for (const Vehicle& vehicle : vehiclesAround(firstFrame, lastFrame)) {
        const std::optional<VehicleVisit> visit = visitOf(vehicle);
        if (visit && visit->lastFrame >= firstFrame && visit->firstFrame <= lastFrame)
            visits.push_back(*visit);
    }
    return visits;
}

std::vector<VehicleTruth> SyntheticSource::vehicleTruths(std::int64_t firstFrame,
                                                         std::int64_t lastFrame) const {
    std::vector<VehicleTruth> truths;
    const double from = synthetic::frameSeconds(firstFrame, rate_),
                 to = synthetic::frameSeconds(lastFrame, rate_);
    for (const Vehicle& vehicle : vehiclesAround(firstFrame, lastFrame)) {
        if (vehicle.arrivalSeconds < from || vehicle.arrivalSeconds > to) continue;
        truths.push_back({vehicle.arrivalSeconds, synthetic::departureSeconds(vehicle), vehicle.speed * 3.6,
                          vehicle.length, vehicle.width, vehicle.kind, vehicle.heading});
    }
    for (const synthetic::Walker& walker : walkersAround(firstFrame, lastFrame)) {
        if (walker.startSeconds < from || walker.startSeconds > to) continue;
        truths.push_back({walker.startSeconds, synthetic::walkerOffRoad(walker),
                          synthetic::walkerSpeed(walker) * 3.6, walker.thickness, walker.width,
                          synthetic::VehicleKind::walker, headingOf(walker)});
    }
    std::stable_sort(truths.begin(), truths.end(), [](const VehicleTruth& one, const VehicleTruth& other) {
        return one.arrivalSeconds < other.arrivalSeconds;
    });
    return truths;
}

std::vector<synthetic::Walker> SyntheticSource::walkersAround(std::int64_t firstFrame,
                                                              std::int64_t lastFrame) const {
    std::vector<synthetic::Walker> all;
    if (!options_.traffic || !options_.walkers) return all;
    std::vector<Vehicle> vehicles;
    std::vector<synthetic::Walker> walkers;
    const std::int64_t lastStretch = synthetic::stretchOf(synthetic::frameSeconds(lastFrame, rate_));
    for (auto stretch = synthetic::stretchOf(synthetic::frameSeconds(firstFrame, rate_));
         stretch <= lastStretch; ++stretch) {
        synthetic::scheduleStretch(options_, stretch, vehicles);
        synthetic::scheduleWalkers(options_, stretch, vehicles, walkers);
        all.insert(all.end(), walkers.begin(), walkers.end());
    }
    return all;
}

std::vector<BeamLead> SyntheticSource::beamLeads(std::int64_t firstFrame, std::int64_t lastFrame) const {
    std::vector<BeamLead> leads;
    if (!options_.nightLights) return leads;
    std::vector<BeamLead> all;
    // A vehicle's beams come into the window seconds before its stretch's first arrival.
    const std::int64_t ahead = frameAtOrBefore(15.0, rate_) + 1;
    for (const Vehicle& vehicle : vehiclesAround(firstFrame, lastFrame + ahead)) addBeamLeads(vehicle, all);
    for (const BeamLead& lead : all)
        if (lead.lastFrame >= firstFrame && lead.firstFrame <= lastFrame) leads.push_back(lead);
    return leads;
}

std::vector<QueueStop> SyntheticSource::queueStops(std::int64_t firstFrame, std::int64_t lastFrame) const {
    std::vector<QueueStop> stops;
    for (const Vehicle& vehicle : vehiclesAround(firstFrame, lastFrame)) {
        const std::optional<QueueStop> stop = queueStopOf(vehicle, rate_);
        if (stop && stop->lastFrame >= firstFrame && stop->firstFrame <= lastFrame) stops.push_back(*stop);
    }
    return stops;
}

std::unique_ptr<FrameSource> makeSyntheticSource(const std::string& options,
                                                 std::optional<FrameRate> rateOverride,
                                                 std::string& failure) {
    const FrameRate rate = rateOverride.value_or(FrameRate{25, 1});
    if (rate.numerator <= 0 || rate.denominator <= 0) {
        failure = "synthetic" + options + ": the frame rate must be positive";
        return nullptr;
    }
    std::string reason;
    const std::optional<synthetic::SceneOptions> parsed = synthetic::parseSceneOptions(options, reason);
    if (!parsed) {
        failure = "synthetic" + options + ": " + reason;
        return nullptr;
    }
    return std::make_unique<SyntheticSource>(*parsed, rate);
}

}  // namespace platform
