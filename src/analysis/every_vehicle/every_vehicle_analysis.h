#pragma once
// Decides, frame by frame, when to picture a vehicle: one picture for each
// vehicle that comes into the detection window, taken from the frame in which
// the vehicles not yet pictured covered the most of the window. The empty
// scene is learnt first; the frames seen while learning are looked at again
// once it is known, so a vehicle passing then is not missed.
#include <cstdint>
#include <vector>

#include "analysis/every_vehicle/content_flow.h"
#include "analysis/every_vehicle/empty_scene_model.h"
#include "analysis/every_vehicle/passage_recorder.h"
#include "analysis/every_vehicle/scene_alignment.h"
#include "analysis/every_vehicle/vehicle_passage.h"
#include "analysis/every_vehicle/vehicle_tracks.h"
#include "analysis/every_vehicle/watched_pixels.h"

namespace analysis::everyvehicle {

struct PictureDecision {
    std::int64_t frame;         // as numbered by look(): 0 for the first frame looked at
    std::int32_t coverPercent;  // of the window, by the vehicle at its largest
};

struct FrameVerdict {
    std::int64_t frame = -1;        // the number look() gave this frame; -1 when it was not looked at
    bool keepFrame = false;         // a picture may later be taken of this frame
    std::int64_t oldestNeeded = 0;  // kept frames before this one are no longer needed
    bool learnt = false;
    bool learntAgain = false;
    std::vector<PictureDecision> pictures;
    // Vehicles that left the window with this frame (with lastLook(), all
    // still in it), pictured or not.
    std::vector<VehiclePassage> departed;
};

struct WatchFigures {
    bool learning = true;
    float noise = 0;
    float threshold = 0;
    float gain = 1;
    std::int32_t coverPercent = 0;  // of the window's cells occupied now
    std::int32_t vehicles = 0;      // in the window now
    Displacement shift;             // of the camera, against the empty scene
};

class EveryVehicleAnalysis {
public:
    EveryVehicleAnalysis(const Rectangle& window, bool darkVehiclesOnly);

    const FrameVerdict& look(const GrayFrame& frame, double seconds);
    // When watching ends: pictures of the vehicles still waiting for theirs,
    // and the passages of all still in the window.
    const FrameVerdict& lastLook();

    // What has been seen so far of the vehicles in picture `frame`, one of
    // the last look's pictures: whoever wants to measure them before the
    // picture is saved.
    std::vector<VehiclePassage> passagesPicturedIn(std::int64_t frame) const;

    const WatchFigures& figures() const { return figures_; }
    const std::vector<std::uint8_t>& emptyScene() const { return model_.emptyScene(); }

private:
    struct PicturedVehicle {
        std::int32_t track;
        std::int32_t firstColumn, lastColumn;
        double seconds;  // last seen
        bool headLamps;
    };
    struct LearningFrame {
        WatchedPixels pixels;
        std::int64_t frame;
        double seconds;
        bool kept;
    };

    void learn(const GrayFrame& frame, std::int64_t number, double seconds);
    void alignToEmptyScene(const GrayFrame& frame);
    void finishLearning();
    void startLearning();
    void watch(const WatchedPixels& pixels, std::int64_t frame, double seconds, bool keepable);
    bool sceneChanged(const LightMeasure& light, double seconds);
    void absorbStillShapes(const WatchedPixels& pixels, const LightMeasure& light, double seconds);
    void followStreams(const WatchedPixels& pixels, std::int64_t frame, double seconds);
    bool flowedAcross(const Track& track) const;
    void followLamps(std::int64_t frame, double seconds);
    bool lampsCameIn(Track& track, double seconds);
    static void startStream(Track& track, std::int64_t frame, double seconds);
    bool eligible(const Track& track, double seconds) const;
    bool mayBeVehicle(const Track& track) const;
    bool night() const;
    bool dark() const;
    bool lampsOn() const;
    bool partOfPictured(const Track& track) const;
    void rememberPictured(double seconds);
    std::int32_t fewestCells(const Track& track) const;
    void decide(std::int64_t frame, double seconds, bool keepable);
    void releaseStaleHold();
    void takePicture(std::int32_t peakCells);
    void handOverPassages(bool all);

    Rectangle window_;
    bool darkVehiclesOnly_;
    EmptySceneModel model_;
    SceneAlignment alignment_;
    VehicleTracks tracks_;
    PassageRecorder passages_;
    std::vector<PicturedVehicle> picturedLately_;
    std::vector<VehiclePassage> handedOver_;
    CellCounts counts_;
    CellValues<std::uint8_t> occupied_;
    WatchedPixels pixels_;
    std::vector<std::uint8_t> previousWindow_;
    ContentFlow flow_;
    std::vector<LearningFrame> learning_;
    std::size_t learningUsed_ = 0;
    bool learnt_ = false;
    bool lampsSeen_ = false;  // the frames come with their colour
    std::int32_t timesLearnt_ = 0;
    double learningStart_ = 0;
    double nextSample_ = 0;
    double lastFollow_ = -1;
    double changedSince_ = -1;
    double lampsArrivedSeconds_ = -1;
    bool rearSinceArrival_ = false;
    std::int64_t nextFrame_ = 0;
    bool holding_ = false;
    std::int32_t heldCells_ = 0;
    std::int64_t heldFrame_ = 0;
    FrameVerdict verdict_;
    WatchFigures figures_;
};

}  // namespace analysis::everyvehicle
