#pragma once
// The built-in synthetic road scene as a frame source, so the program runs
// and is tested without a camera: a recorded source of 640 x 480 frames at 25
// frames/s (or the rate given), drawn on demand. Option syntax: see
// synthetic_options.h.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sources/frame_filter.h"
#include "platform/sources/frame_scaler.h"
#include "platform/sources/frame_source.h"
#include "platform/sources/recorded_timeline.h"
#include "platform/sources/synthetic/synthetic_options.h"
#include "platform/sources/synthetic/synthetic_renderer.h"
#include "platform/sources/synthetic/synthetic_shake.h"
#include "platform/sources/synthetic/synthetic_walkers.h"

namespace platform {

// A vehicle's passage through the detection window: the frames in which its
// body covers at least one of the window's rows (as the shaken picture
// shows it, with the shake option). Its beams, glow and reflections are not
// the vehicle.
struct VehicleVisit {
    std::int64_t firstFrame;
    std::int64_t lastFrame;
    synthetic::VehicleTone tone;
};

// The frames in which the first vehicle of a queue stands still in the
// detection window (see synthetic_queue.h).
struct QueueStop {
    std::int64_t firstFrame;
    std::int64_t lastFrame;
};

// Frames in which a vehicle's beams light the detection window's road, its
// lamps stand out (at least half way to night) and its body is not yet in
// the window.
struct BeamLead {
    std::int64_t firstFrame;
    std::int64_t lastFrame;
};

// What a survey should find of one vehicle: it comes toward the camera, down
// the picture, or (with the away option) drives away, up it. A person on
// foot (with the walkers option) crosses the road, no vehicle sharing the
// window with them.
struct VehicleTruth {
    double
        arrivalSeconds;  // its body first covers a row of the detection window; on foot, steps onto the road
    double departureSeconds;  // its body has cleared the window; on foot, leaves the road
    double speedKmh;          // while it moves
    double length, width;     // metres
    synthetic::VehicleKind kind;
    synthetic::Heading heading;
};

class SyntheticSource : public FrameSource {
public:
    SyntheticSource(const synthetic::SceneOptions& options, FrameRate rate);

    bool open(std::string& failure) override;
    void close() override;
    bool isOpen() const override;
    bool isLive() const override;
    int nativeWidth() const override;
    int nativeHeight() const override;
    bool setFilter(const std::string& description, std::string& failure) override;
    std::shared_ptr<const FullSizeFrame> fullSizeFrame() const override;
    double recordingSeconds() const override;
    GrabOutcome grab(std::int64_t elapsedNanoseconds, int width, int height, std::uint8_t* image,
                     std::int64_t& dueNanoseconds) override;

    // Every visit that overlaps frames firstFrame..lastFrame, whole and in
    // order, from the same schedule the frames are drawn from.
    std::vector<VehicleVisit> detectionWindowVisits(std::int64_t firstFrame, std::int64_t lastFrame) const;

    // Every vehicle scheduled to arrive from firstFrame to lastFrame, in
    // order of arrival, from the same schedule the frames are drawn from.
    std::vector<VehicleTruth> vehicleTruths(std::int64_t firstFrame, std::int64_t lastFrame) const;

    // Every queue stop that overlaps frames firstFrame..lastFrame, whole and
    // in order; none without the queue option. Its visit lasts at least as
    // long.
    std::vector<QueueStop> queueStops(std::int64_t firstFrame, std::int64_t lastFrame) const;

    // Every beam lead that overlaps frames firstFrame..lastFrame, whole and
    // in order of the vehicles' arrival; none without the nightlights option.
    std::vector<BeamLead> beamLeads(std::int64_t firstFrame, std::int64_t lastFrame) const;

    // How far frame `frame` is moved by the shake, in pixels of the 640 x
    // 480 picture; zero without the shake option.
    synthetic::ShakeOffset shakeOffset(std::int64_t frame) const;

    // Frame `frame` as drawn, before scaling: 640 x 480 BGR24, top row first.
    const std::vector<std::uint8_t>& nativeFrame(std::int64_t frame);

private:
    // Frame `frame` as delivered, before scaling: through the filter when
    // there is one; false, with the reason, when the filter gives nothing.
    bool deliveredFrame(std::int64_t frame, Picture& picture, std::string& failure);

    // The vehicles of every stretch that overlaps frames firstFrame..lastFrame.
    std::vector<synthetic::Vehicle> vehiclesAround(std::int64_t firstFrame, std::int64_t lastFrame) const;
    std::vector<synthetic::Walker> walkersAround(std::int64_t firstFrame, std::int64_t lastFrame) const;

    bool inWindowAt(const synthetic::Vehicle& vehicle, std::int64_t frame) const;
    std::optional<VehicleVisit> visitOf(const synthetic::Vehicle& vehicle) const;
    void addBeamLeads(const synthetic::Vehicle& vehicle, std::vector<BeamLead>& leads) const;

    synthetic::SceneOptions options_;
    FrameRate rate_;
    synthetic::SceneRenderer renderer_;
    FrameScaler scaler_;
    std::unique_ptr<FrameFilter> filter_;
    const AVFrame* filtered_ = nullptr;
    bool reportedFilter_ = false;
    std::vector<std::uint8_t> picture_;
    std::int64_t pictureFrame_ = -1;
    std::int64_t lastFrame_ = -1;
    bool open_ = false;
};

// `options` is what follows "synthetic" in the source name; `rateOverride`
// replaces 25 frames/s. Null with a one-line reason in `failure` when the
// options or the rate are malformed.
std::unique_ptr<FrameSource> makeSyntheticSource(const std::string& options,
                                                 std::optional<FrameRate> rateOverride, std::string& failure);

}  // namespace platform
