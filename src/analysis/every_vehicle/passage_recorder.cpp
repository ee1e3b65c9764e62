#include "analysis/every_vehicle/passage_recorder.h"

#include <algorithm>

namespace analysis::everyvehicle {
namespace {

// Outlines one passage keeps before thinning: 20 s at 25 frames/s; the
// first ones, how it came in, are never thinned.
constexpr std::size_t outlineCapacity = 512;
constexpr std::size_t keptWhole = 128;

void thin(VehiclePassage& passage) {
    std::vector<VehicleOutline>& outlines = passage.outlines;
    std::size_t kept = keptWhole;
    for (std::size_t i = keptWhole; i < outlines.size(); i += 2) outlines[kept++] = outlines[i];
    outlines.resize(kept);
    passage.outlineStep *= 2;
}

}  // namespace

void PassageRecorder::reset(const Rectangle& window, const CellGrid& cells) {
    window_ = window;
    cells_ = cells;
    open_.clear();
}

VehiclePassage& PassageRecorder::passageOf(std::int32_t vehicle) {
    for (VehiclePassage& passage : open_) {
        if (passage.vehicle == vehicle) return passage;
    }
    open_.emplace_back();
    open_.back().vehicle = vehicle;
    return open_.back();
}

void PassageRecorder::measureOutlines(const VehicleTracks& tracks, const std::vector<std::uint8_t>& changed) {
    const std::vector<Track>& all = tracks.tracks();
    outlines_.assign(all.size(), VehicleOutline{});
    for (VehicleOutline& outline : outlines_) {
        outline.top = outline.left = INT32_MAX;
        outline.bottom = outline.right = INT32_MIN;
    }
    const CellValues<std::int32_t>& labels = tracks.labels();
    const std::int32_t windowColumns = window_.right - window_.left;
    for (std::int32_t cell = 0; cell < cells_.count(); ++cell) {
        if (labels[cell] <= 0) continue;
        const auto track = std::find_if(all.begin(), all.end(),
                                        [&](const Track& candidate) { return candidate.id == labels[cell]; });
        if (track == all.end()) continue;
        VehicleOutline& outline = outlines_[static_cast<std::size_t>(track - all.begin())];
        const std::int32_t top = cell / cells_.columns * CellGrid::cellHeight;
        const std::int32_t left = cell % cells_.columns * CellGrid::cellWidth;
        for (std::int32_t r = top; r < top + CellGrid::cellHeight; ++r) {
            const std::uint8_t* row = changed.data() + static_cast<std::size_t>(r) * windowColumns;
            for (std::int32_t c = left; c < left + CellGrid::cellWidth; ++c) {
                if (row[c] == 0) continue;
                ++outline.pixels;
                outline.top = std::min(outline.top, r);
                outline.bottom = std::max(outline.bottom, r + 1);
                outline.left = std::min(outline.left, c);
                outline.right = std::max(outline.right, c + 1);
            }
        }
    }
}

void PassageRecorder::record(const VehicleTracks& tracks, const std::vector<std::uint8_t>& changed,
                             std::int64_t frame, double seconds) {
    measureOutlines(tracks, changed);
    const std::vector<Track>& all = tracks.tracks();
    const std::int32_t cellRows = cells_.rows * CellGrid::cellHeight;
    const std::int32_t cellColumns = cells_.columns * CellGrid::cellWidth;
    for (std::size_t i = 0; i < all.size(); ++i) {
        VehicleOutline outline = outlines_[i];
        if (!all[i].alive || outline.pixels == 0) continue;
        VehiclePassage& passage = passageOf(all[i].id);
        if (!passage.outlines.empty() && frame - passage.outlines.back().frame < passage.outlineStep)
            continue;
        outline.frame = frame;
        outline.seconds = seconds;
        outline.lampPixels = all[i].lampPixelsNow;
        outline.cutTop = outline.top == 0;
        outline.cutLeft = outline.left == 0;
        outline.cutBottom = outline.bottom >= cellRows;
        outline.cutRight = outline.right >= cellColumns;
        outline.top += window_.top;
        outline.bottom += window_.top;
        outline.left += window_.left;
        outline.right += window_.left;
        passage.outlines.push_back(outline);
        if (passage.outlines.size() >= outlineCapacity) thin(passage);
    }
}

void PassageRecorder::pictured(std::int32_t vehicle, std::int64_t pictureFrame) {
    VehiclePassage& passage = passageOf(vehicle);
    if (passage.pictureFrame < 0) passage.pictureFrame = pictureFrame;
}

void PassageRecorder::handOver(const VehicleTracks& tracks, bool all, std::vector<VehiclePassage>& departed) {
    const auto gone = [&](const VehiclePassage& passage) {
        if (all) return true;
        const auto& live = tracks.tracks();
        return std::none_of(live.begin(), live.end(),
                            [&](const Track& track) { return track.id == passage.vehicle && track.alive; });
    };
    for (VehiclePassage& passage : open_) {
        if (gone(passage) && !passage.outlines.empty()) departed.push_back(std::move(passage));
    }
    std::erase_if(open_,
                  [&](const VehiclePassage& passage) { return passage.outlines.empty() || gone(passage); });
}

}  // namespace analysis::everyvehicle
