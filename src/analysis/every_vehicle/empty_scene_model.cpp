#include "analysis/every_vehicle/empty_scene_model.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace analysis::everyvehicle {
namespace {

struct Span {
    double from, to;
};

// A deviation of four standard deviations of the scene's noise is a change.
constexpr float noiseFactor = 4.0f;
// Below this many gray levels nothing counts as a change, however clean the
// picture: the rounding of 8-bit video and its compression.
constexpr float quantisationFloor = 4.0f;
// A shake of a fraction of a pixel moves every edge of the scene; the
// threshold grows by this share of the empty scene's local contrast.
constexpr float edgeShare = 0.5f;
// The 25th percentile of |deviation| of a normal distribution, in standard
// deviations: the noise is read off the quieter three quarters of the grid,
// so vehicles covering up to a quarter of the frame do not raise it.
constexpr float quartileOfNoise = 0.3186f;
constexpr float noiseQuantile = 0.25f;
// Grid points darker than this tell nothing about the light.
constexpr float darkestGridLevel = 8.0f;
// How fast the empty scene follows the light where the road is seen, and
// where it differs from the road with no vehicle near (a change that stays).
constexpr double followSeconds = 5.0;
constexpr double changedSeconds = 600.0;
// A dark pixel is darker than this share of the empty scene, as the dark
// object test has it, or darker than the empty window's darkest tenth.
constexpr float darkShare = 0.55f;
constexpr float darkestShare = 0.10f;
constexpr std::int32_t followsBetweenThresholds = 16;
// A channel this bright is a lamp or its glare: sensors clip there. Behind
// rain or mist a lamp no longer clips, but still outshines the road under it
// many times over, well above the middle of the scale.
constexpr float clippedLevel = 235.0f;
constexpr float veiledLampLevel = 160.0f;
constexpr float lampContrast = 4.0f;
// A change of light keeps the texture: the cell still correlates with the
// empty scene this well, darkened or lit by no more than this range.
constexpr Span lightGainRange{0.25, 4.0};
constexpr double texturedDeviations = 3.0;
constexpr double sameTexture = 0.8;
// A cell deviates from a change of light by more than this many noise
// deviations where an edge crosses it.
constexpr double sharpDeviations = 3.0;

using Matrix3 = std::array<std::array<double, 3>, 3>;

double determinant(const Matrix3& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
           m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

float fractionOf(double elapsedSeconds, double timeConstant) {
    return static_cast<float>(std::clamp(elapsedSeconds / timeConstant, 0.0, 1.0));
}

}  // namespace

void EmptySceneModel::forget() {
    samples_.clear();
    window_.clear();
    grid_.clear();
}

void EmptySceneModel::addSample(const GrayFrame& frame) {
    if (samples_.size() >= sampleCapacity) return;
    if (!samples_.empty() && (frame.width != frameWidth_ || frame.height != frameHeight_)) samples_.clear();
    frameWidth_ = frame.width;
    frameHeight_ = frame.height;
    const auto bytes = static_cast<std::size_t>(frame.width) * frame.height;
    samples_.emplace_back(frame.pixels, frame.pixels + bytes);
}

void EmptySceneModel::takeMedian() {
    const std::size_t bytes = static_cast<std::size_t>(frameWidth_) * frameHeight_;
    emptyScene_.assign(bytes, 0);
    std::vector<std::uint8_t> levels(samples_.size());
    for (std::size_t pixel = 0; pixel < bytes; ++pixel) {
        for (std::size_t sample = 0; sample < samples_.size(); ++sample)
            levels[sample] = samples_[sample][pixel];
        const auto middle = levels.begin() + static_cast<std::ptrdiff_t>(levels.size() / 2);
        std::nth_element(levels.begin(), middle, levels.end());
        emptyScene_[pixel] = *middle;
    }
}

void EmptySceneModel::learnFromSamples(const Rectangle& window, SceneAlignment& alignment) {
    takeMedian();
    alignment.chooseFrom({emptyScene_.data(), frameWidth_, frameHeight_});
    if (alignment.textured()) {
        std::vector<std::uint8_t> aligned;
        for (std::vector<std::uint8_t>& sample : samples_) {
            const GrayFrame frame{sample.data(), frameWidth_, frameHeight_};
            alignFrame(frame, alignment.measure(frame, 1.0f, 0.0f), aligned);
            sample.swap(aligned);
        }
        takeMedian();
    }
    samples_.clear();

    WatchedPixels empty;
    extractWatchedPixels({emptyScene_.data(), frameWidth_, frameHeight_}, window, empty);
    window_.assign(empty.window.begin(), empty.window.end());
    grid_.assign(empty.grid.begin(), empty.grid.end());
    windowRows_ = window.bottom - window.top;
    windowColumns_ = window.right - window.left;
    cells_ = CellGrid::of(windowRows_, windowColumns_);
    nearestCellColumn_.resize(static_cast<std::size_t>(windowColumns_));
    for (std::int32_t c = 0; c < windowColumns_; ++c) {
        nearestCellColumn_[c] = std::min(c / CellGrid::cellWidth, cells_.columns - 1);
    }
    busyColumns_.assign(static_cast<std::size_t>(windowColumns_), 0);
    foreground_.assign(window_.size(), 0);
    marks_.assign(window_.size(), 0);
    prepareThresholds();
}

void EmptySceneModel::prepareThresholds() {
    edgeAllowance_.assign(window_.size(), 0);
    const auto at = [this](std::int32_t r, std::int32_t c) {
        return window_[static_cast<std::size_t>(r) * windowColumns_ + c];
    };
    for (std::int32_t r = 0; r < windowRows_; ++r) {
        for (std::int32_t c = 0; c < windowColumns_; ++c) {
            const float here = at(r, c);
            float contrast = 0;
            if (r > 0) contrast = std::max(contrast, std::abs(here - at(r - 1, c)));
            if (r + 1 < windowRows_) contrast = std::max(contrast, std::abs(here - at(r + 1, c)));
            if (c > 0) contrast = std::max(contrast, std::abs(here - at(r, c - 1)));
            if (c + 1 < windowColumns_) contrast = std::max(contrast, std::abs(here - at(r, c + 1)));
            edgeAllowance_[static_cast<std::size_t>(r) * windowColumns_ + c] = edgeShare * contrast;
        }
    }
    Histogram levels(1.0f, 256);
    for (const float level : window_) levels.add(level);
    darkLevel_ = levels.quantile(darkestShare);
    windowLevel_ = levels.quantile(0.5f);
    levels.clear();
    for (const float level : grid_) levels.add(level);
    sceneLevel_ = levels.quantile(0.5f);
    followsSincePrepared_ = 0;
}

LightMeasure EmptySceneModel::measureLight(const WatchedPixels& pixels) {
    LightMeasure light;
    Histogram& gains = gains_;
    gains.clear();
    for (std::size_t i = 0; i < grid_.size(); ++i) {
        if (grid_[i] > darkestGridLevel) gains.add(static_cast<float>(pixels.grid[i]) / grid_[i]);
    }
    // A scene too dark to tell the light by keeps its gain.
    if (gains.total() > 0) light.gain = gains.quantile(0.5f);
    Histogram& deviations = deviations_;
    deviations.clear();
    deviation_.clear();
    for (std::size_t i = 0; i < grid_.size(); ++i) {
        if (grid_[i] <= darkestGridLevel && gains.total() > 0) continue;
        deviation_.push_back(std::abs(pixels.grid[i] - light.gain * grid_[i]));
        deviations.add(deviation_.back());
    }
    light.noise = deviations.quantile(noiseQuantile) / quartileOfNoise;
    light.threshold = std::max(noiseFactor * light.noise, quantisationFloor);
    const auto changed = std::count_if(deviation_.begin(), deviation_.end(),
                                       [&light](float deviation) { return deviation > light.threshold; });
    light.changedShare =
        static_cast<float>(changed) / static_cast<float>(std::max<std::size_t>(deviation_.size(), 1));
    return light;
}

void EmptySceneModel::markForeground(const WatchedPixels& pixels, const LightMeasure& light,
                                     CellCounts& counts) {
    counts.foreground.assign(static_cast<std::size_t>(cells_.count()), 0);
    counts.dark.assign(static_cast<std::size_t>(cells_.count()), 0);
    counts.lamps.assign(static_cast<std::size_t>(cells_.count()), 0);
    counts.redLamps.assign(static_cast<std::size_t>(cells_.count()), 0);
    counts.sharp.assign(static_cast<std::size_t>(cells_.count()), 0);
    const float darkLevel = light.gain * darkLevel_ - light.threshold;
    const std::size_t size = window_.size();
    // One pass that the compiler can vectorise (the byte arrays would otherwise
    // be taken to overlap everything), then the counting per cell.
    const std::uint8_t* __restrict levels = pixels.window.data();
    const float* __restrict background = window_.data();
    const float* __restrict allowance = edgeAllowance_.data();
    std::uint8_t* __restrict changedPixels = foreground_.data();
    // Changed in the low byte, changed and dark in the high one: one sum counts both.
    std::uint16_t* __restrict marks = marks_.data();
    const float gain = light.gain;
    const float threshold = light.threshold;
    for (std::size_t i = 0; i < size; ++i) {
        const float level = levels[i];
        const float expected = gain * background[i];
        const int changed = std::abs(level - expected) > threshold + allowance[i] ? 1 : 0;
        const int dark = (level < darkShare * expected ? 1 : 0) | (level < darkLevel ? 1 : 0);
        changedPixels[i] = static_cast<std::uint8_t>(changed);
        marks[i] = static_cast<std::uint16_t>(changed | ((changed & dark) << 8));
    }
    for (std::int32_t r = 0; r < cells_.rows * CellGrid::cellHeight; ++r) {
        const std::size_t rowStart = static_cast<std::size_t>(r) * windowColumns_;
        const std::size_t cellRowStart = static_cast<std::size_t>(r / CellGrid::cellHeight) * cells_.columns;
        for (std::int32_t cellColumn = 0; cellColumn < cells_.columns; ++cellColumn) {
            const std::uint16_t* first =
                marks + rowStart + static_cast<std::size_t>(cellColumn) * CellGrid::cellWidth;
            std::uint16_t sum = 0;
            for (std::int32_t c = 0; c < CellGrid::cellWidth; ++c)
                sum = static_cast<std::uint16_t>(sum + first[c]);
            counts.foreground[cellRowStart + cellColumn] += static_cast<std::uint16_t>(sum & 0xff);
            counts.dark[cellRowStart + cellColumn] += static_cast<std::uint16_t>(sum >> 8);
        }
    }
    if (!pixels.brightest.empty()) countLamps(pixels, light, counts);
}

// A lamp clips the sensor in one colour at least, or outshines the road
// many times over; the light it throws on the road seldom does. A lamp that
// was there in the empty scene (a street lamp) is no change: only lamps
// that came count.
void EmptySceneModel::countLamps(const WatchedPixels& pixels, const LightMeasure& light,
                                 CellCounts& counts) const {
    for (std::int32_t r = 0; r < cells_.rows * CellGrid::cellHeight; ++r) {
        const std::size_t rowStart = static_cast<std::size_t>(r) * windowColumns_;
        const std::size_t cellRowStart = static_cast<std::size_t>(r / CellGrid::cellHeight) * cells_.columns;
        for (std::int32_t c = 0; c < cells_.columns * CellGrid::cellWidth; ++c) {
            const std::size_t i = rowStart + c;
            if (foreground_[i] == 0) continue;
            const float brightest = pixels.brightest[i];
            if (brightest >= clippedLevel ||
                (brightest >= veiledLampLevel && brightest >= lampContrast * light.gain * window_[i])) {
                ++counts.lamps[cellRowStart + c / CellGrid::cellWidth];
                counts.redLamps[cellRowStart + c / CellGrid::cellWidth] += pixels.red[i];
            }
        }
    }
}

void EmptySceneModel::follow(const WatchedPixels& pixels, const LightMeasure& light,
                             const CellValues<std::uint8_t>& busy, double elapsedSeconds) {
    const float road = fractionOf(elapsedSeconds, followSeconds);
    const float lasting = fractionOf(elapsedSeconds, changedSeconds);
    // Under a vehicle the road is not seen, but the light on it changes as
    // on the rest of the scene: a queue through dusk leaves no ghost.
    const float relight = road * (light.gain - 1.0f);
    for (std::int32_t r = 0; r < windowRows_; ++r) {
        // Pixels past the last whole cell go with the last cell.
        const std::int32_t cellRow = std::min(r / CellGrid::cellHeight, cells_.rows - 1);
        const std::uint8_t* busyRow = busy.data() + static_cast<std::size_t>(cellRow) * cells_.columns;
        for (std::int32_t c = 0; c < windowColumns_; ++c) busyColumns_[c] = busyRow[nearestCellColumn_[c]];
        const std::size_t rowStart = static_cast<std::size_t>(r) * windowColumns_;
        float* background = window_.data() + rowStart;
        const std::uint8_t* level = pixels.window.data() + rowStart;
        const std::uint8_t* changed = foreground_.data() + rowStart;
        for (std::int32_t c = 0; c < windowColumns_; ++c) {
            const float rate = busyColumns_[c] != 0 ? 0.0f : changed[c] != 0 ? lasting : road;
            const float relit = (busyColumns_[c] | changed[c]) != 0 ? relight : 0.0f;
            background[c] += rate * (static_cast<float>(level[c]) - background[c]) + relit * background[c];
        }
    }
    for (std::size_t i = 0; i < grid_.size(); ++i) {
        const bool changed = std::abs(pixels.grid[i] - light.gain * grid_[i]) > light.threshold;
        grid_[i] += (changed ? lasting : road) * (pixels.grid[i] - grid_[i]);
    }
    if (++followsSincePrepared_ >= followsBetweenThresholds) prepareThresholds();
}

// A cell's sums over its pixels, now and in the empty scene: its gain, its
// texture, and the least squares of a gain that changes evenly across it (a
// plane over its rows and columns).
struct EmptySceneModel::CellSums {
    double empty = 0, now = 0, nowSquares = 0;
    Matrix3 normal{};                   // of the empty scene times 1, its column, its row
    std::array<double, 3> projected{};  // the same times now
    double emptySquares() const { return normal[0][0]; }
    double products() const { return projected[0]; }
};

EmptySceneModel::CellSums EmptySceneModel::sumsOf(const std::vector<std::uint8_t>& window, std::int32_t top,
                                                  std::int32_t left) const {
    CellSums sums;
    for (std::int32_t r = 0; r < CellGrid::cellHeight; ++r) {
        for (std::int32_t c = 0; c < CellGrid::cellWidth; ++c) {
            const std::size_t i = static_cast<std::size_t>(top + r) * windowColumns_ + left + c;
            const double e = window_[i];
            const double n = window[i];
            sums.empty += e;
            sums.now += n;
            sums.nowSquares += n * n;
            const std::array<double, 3> basis{e, e * (c - (CellGrid::cellWidth - 1) / 2.0),
                                              e * (r - (CellGrid::cellHeight - 1) / 2.0)};
            for (std::size_t j = 0; j < 3; ++j) {
                sums.projected[j] += basis[j] * n;
                for (std::size_t k = 0; k < 3; ++k) sums.normal[j][k] += basis[j] * basis[k];
            }
        }
    }
    return sums;
}

namespace {

// The mean square left of a cell once the best gain that changes evenly
// across it is taken out of the empty scene, solved by Cramer's rule.
double residualUnderEvenLight(const Matrix3& normal, const std::array<double, 3>& projected,
                              double nowSquares) {
    const double whole = determinant(normal);
    if (whole <= 0) return nowSquares / CellGrid::cellPixels;  // a black empty scene
    double explained = 0;
    for (std::size_t column = 0; column < 3; ++column) {
        Matrix3 replaced = normal;
        for (std::size_t j = 0; j < 3; ++j) replaced[j][column] = projected[j];
        explained += determinant(replaced) / whole * projected[column];
    }
    return (nowSquares - explained) / CellGrid::cellPixels;
}

}  // namespace

CellChange EmptySceneModel::changeOf(const WatchedPixels& pixels, const LightMeasure& light,
                                     std::int32_t cell) const {
    const std::int32_t top = cell / cells_.columns * CellGrid::cellHeight;
    const std::int32_t left = cell % cells_.columns * CellGrid::cellWidth;
    const CellSums sums = sumsOf(pixels.window, top, left);
    constexpr double count = CellGrid::cellPixels;
    const double noise = std::max(static_cast<double>(light.noise), 1.0);
    CellChange change;
    // What the cell's own gain leaves is the noise, or an edge; a soft
    // shadow's edge changes that gain evenly across the cell.
    const double residual = residualUnderEvenLight(sums.normal, sums.projected, sums.nowSquares);
    change.sharp = residual > sharpDeviations * sharpDeviations * noise * noise;
    if (sums.empty <= 0) return change;
    const double localGain = sums.now / sums.empty;
    if (localGain < lightGainRange.from || localGain >= lightGainRange.to) return change;
    const double emptyMean = sums.empty / count, nowMean = sums.now / count;
    const double emptyVariance = sums.emptySquares() / count - emptyMean * emptyMean;
    const double nowVariance = sums.nowSquares / count - nowMean * nowMean;
    const double covariance = sums.products() / count - emptyMean * nowMean;
    // Texture the noise cannot hide, under the light there is now.
    if (localGain * std::sqrt(std::max(emptyVariance, 0.0)) < texturedDeviations * noise) return change;
    if (nowVariance <= 0) return change;
    change.relit = covariance / std::sqrt(emptyVariance * nowVariance) >= sameTexture;
    return change;
}

void EmptySceneModel::absorbCell(const WatchedPixels& pixels, const LightMeasure& light, std::int32_t cell) {
    if (light.gain <= 0) return;  // a black frame shows nothing to take
    const std::int32_t top = cell / cells_.columns * CellGrid::cellHeight;
    const std::int32_t left = cell % cells_.columns * CellGrid::cellWidth;
    for (std::int32_t r = top; r < top + CellGrid::cellHeight; ++r) {
        for (std::int32_t c = left; c < left + CellGrid::cellWidth; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * windowColumns_ + c;
            window_[i] = pixels.window[i] / light.gain;
        }
    }
}

}  // namespace analysis::everyvehicle
