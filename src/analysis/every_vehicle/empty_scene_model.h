#pragma once
// The empty scene: a background of the detection window, pixel by pixel, and
// of a sparse grid over the whole frame. It is learnt as the per-pixel median
// of frames a tenth of a second apart, so traffic passing while it learns is
// not taken for the road. Afterwards it follows slow light where the road is
// seen; under vehicles it follows only the light of the whole scene, so a
// queue is not learnt and leaves no ghost when it drives off.
#include <cstdint>
#include <vector>

#include "analysis/every_vehicle/cell_grid.h"
#include "analysis/every_vehicle/histogram.h"
#include "analysis/every_vehicle/scene_alignment.h"
#include "analysis/every_vehicle/watched_pixels.h"

namespace analysis::everyvehicle {

// How a frame compares with the empty scene as a whole.
struct LightMeasure {
    float gain = 1;          // frame / empty scene: clouds, dusk, exposure steps
    float noise = 0;         // of the scene, in gray levels (a standard deviation)
    float threshold = 0;     // a pixel further than this from the empty scene is foreground
    float changedShare = 0;  // of the grid further than the threshold from the empty scene
};

class EmptySceneModel {
public:
    static constexpr std::size_t sampleCapacity = 32;

    void forget();
    // A whole frame, kept until the empty scene is learnt from the samples.
    void addSample(const GrayFrame& frame);
    std::size_t sampleCount() const { return samples_.size(); }
    // The median of the samples as they came, then of the samples lined up
    // with it by `alignment`: a swaying camera learns a sharp empty scene,
    // with the vehicles that passed meanwhile left out.
    void learnFromSamples(const Rectangle& window, SceneAlignment& alignment);
    // The learnt empty scene, whole frame, top row first.
    const std::vector<std::uint8_t>& emptyScene() const { return emptyScene_; }
    std::int32_t frameWidth() const { return frameWidth_; }
    std::int32_t frameHeight() const { return frameHeight_; }

    LightMeasure measureLight(const WatchedPixels& pixels);
    void markForeground(const WatchedPixels& pixels, const LightMeasure& light, CellCounts& counts);
    // `busy`: cells where a vehicle is or was a moment ago.
    void follow(const WatchedPixels& pixels, const LightMeasure& light, const CellValues<std::uint8_t>& busy,
                double elapsedSeconds);
    // How the cell differs from the empty scene: only in its light, or by
    // an edge of something new.
    CellChange changeOf(const WatchedPixels& pixels, const LightMeasure& light, std::int32_t cell) const;
    // Takes what the cell shows now as the empty scene: for what appeared
    // there and never moved.
    void absorbCell(const WatchedPixels& pixels, const LightMeasure& light, std::int32_t cell);

    const CellGrid& cells() const { return cells_; }
    // Of the last frame marked: per window pixel, 1 where it differs from the empty scene.
    const std::vector<std::uint8_t>& changedPixels() const { return foreground_; }
    // The middle gray level of the empty window.
    float windowLevel() const { return windowLevel_; }
    // The middle gray level of the empty scene as a whole.
    float sceneLevel() const { return sceneLevel_; }

private:
    struct CellSums;
    CellSums sumsOf(const std::vector<std::uint8_t>& window, std::int32_t top, std::int32_t left) const;
    void prepareThresholds();
    void takeMedian();
    void countLamps(const WatchedPixels& pixels, const LightMeasure& light, CellCounts& counts) const;

    std::int32_t frameWidth_ = 0;
    std::int32_t frameHeight_ = 0;
    std::int32_t windowRows_ = 0;
    std::int32_t windowColumns_ = 0;
    CellGrid cells_;
    std::vector<std::int32_t> nearestCellColumn_;  // of each window column
    std::vector<std::uint8_t> busyColumns_;
    std::vector<std::vector<std::uint8_t>> samples_;
    std::vector<std::uint8_t> emptyScene_;
    std::vector<float> window_;         // empty scene of the window
    std::vector<float> grid_;           // empty scene of the grid
    std::vector<float> edgeAllowance_;  // per window pixel, from the empty scene's local contrast
    std::vector<std::uint8_t> foreground_;
    std::vector<std::uint16_t> marks_;
    std::vector<float> deviation_;
    // Gains from 0 to 4 in steps of 1/256, deviations up to 64 levels in quarters.
    Histogram gains_{256.0f, 1024};
    Histogram deviations_{4.0f, 256};
    float windowLevel_ = 0;
    float sceneLevel_ = 0;
    float darkLevel_ = 0;  // the empty window's darkest tenth lies below this
    std::int32_t followsSincePrepared_ = 0;
};

}  // namespace analysis::everyvehicle
