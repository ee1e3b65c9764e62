#include "analysis/every_vehicle/vehicle_tracks.h"

#include <algorithm>
#include <cstdlib>

namespace analysis::everyvehicle {
namespace {

// How far, in cells, a vehicle's front may move between two frames and
// still be taken for the same vehicle.
constexpr std::int32_t nearbyCells = 3;
// Pieces of a track further apart than this, in cells, are taken apart.
constexpr std::int32_t pieceGapCells = 3;
// A track whose middle moves less than this, in cells, is at rest.
constexpr float restlessCells = 1.0f;

// Whether an inner one of `sections` is at most half the widest.
bool hasWaist(const std::vector<std::int32_t>& sections) {
    if (sections.size() < 3) return false;
    const std::int32_t widest = *std::max_element(sections.begin(), sections.end());
    return std::any_of(sections.begin() + 1, sections.end() - 1,
                       [widest](std::int32_t width) { return 2 * width <= widest; });
}

}  // namespace

void VehicleTracks::reset(const CellGrid& cells) {
    cells_ = cells;
    const auto count = static_cast<std::size_t>(cells.count());
    labels_.assign(count, 0);
    previous_.assign(count, 0);
    busy_.assign(count, 0);
    piece_.assign(count, 0);
    tracks_.clear();
    nextId_ = 1;
}

Track* VehicleTracks::find(std::int32_t id) {
    for (Track& track : tracks_) {
        if (track.id == id) return &track;
    }
    return nullptr;
}

std::int32_t VehicleTracks::nearestLabel(std::int32_t row, std::int32_t column) const {
    // On the border only a neighbour counts: what comes in from outside is new.
    const std::int32_t reach = cells_.onBorder(row, column) ? 1 : nearbyCells;
    std::int32_t nearest = 0;
    std::int32_t nearestDistance = 0;
    for (std::int32_t r = std::max(0, row - reach); r <= std::min(cells_.rows - 1, row + reach); ++r) {
        for (std::int32_t c = std::max(0, column - reach); c <= std::min(cells_.columns - 1, column + reach);
             ++c) {
            const std::int32_t label = previous_[static_cast<std::size_t>(r) * cells_.columns + c];
            const std::int32_t distance = (r - row) * (r - row) + (c - column) * (c - column);
            if (label != 0 && (nearest == 0 || distance < nearestDistance)) {
                nearest = label;
                nearestDistance = distance;
            }
        }
    }
    return nearest;
}

// The new track takes every unlabelled occupied cell connected to `cell`.
void VehicleTracks::startTrack(std::int32_t cell, std::int64_t frame, double seconds) {
    Track track;
    track.id = nextId_++;
    track.bornFrame = frame;
    track.bornSeconds = seconds;
    tracks_.push_back(track);
    labels_[cell] = track.id;
    stack_.assign(1, cell);
    while (!stack_.empty()) {
        const std::int32_t at = stack_.back();
        stack_.pop_back();
        const std::int32_t row = at / cells_.columns;
        const std::int32_t column = at % cells_.columns;
        for (std::int32_t r = std::max(0, row - 1); r <= std::min(cells_.rows - 1, row + 1); ++r) {
            for (std::int32_t c = std::max(0, column - 1); c <= std::min(cells_.columns - 1, column + 1);
                 ++c) {
                const std::int32_t next = r * cells_.columns + c;
                if (labels_[next] == -1) {
                    labels_[next] = track.id;
                    stack_.push_back(next);
                }
            }
        }
    }
}

void VehicleTracks::follow(const CellValues<std::uint8_t>& occupied, const CellCounts& counts,
                           std::int64_t frame, double seconds) {
    previous_.swap(labels_);
    const std::int32_t count = cells_.count();
    for (std::int32_t cell = 0; cell < count; ++cell) {
        if (occupied[cell] == 0) {
            labels_[cell] = 0;
        } else if (previous_[cell] != 0) {
            labels_[cell] = previous_[cell];
        } else {
            const std::int32_t label = nearestLabel(cell / cells_.columns, cell % cells_.columns);
            labels_[cell] = label != 0 ? label : -1;  // -1: new, labelled below
        }
    }
    for (std::int32_t cell = 0; cell < count; ++cell) {
        if (labels_[cell] == -1) startTrack(cell, frame, seconds);
    }
    separatePieces(frame, seconds);
    measureTracks(counts, seconds);
}

// Cells of one track belong to one piece when a chain of its cells, each
// within pieceGapCells of the next, joins them.
void VehicleTracks::separatePieces(std::int64_t frame, double seconds) {
    const std::int32_t count = cells_.count();
    std::fill(piece_.begin(), piece_.end(), 0);
    std::vector<std::int32_t>& sizes = pieceSizes_;
    std::vector<std::int32_t>& pieceLabels = pieceLabels_;
    std::vector<std::int32_t>& members = stack_;
    std::int32_t pieces = 0;
    sizes.clear();
    pieceLabels.clear();
    for (std::int32_t seed = 0; seed < count; ++seed) {
        if (labels_[seed] <= 0 || piece_[seed] != 0) continue;
        const std::int32_t label = labels_[seed];
        piece_[seed] = ++pieces;
        members.assign(1, seed);
        for (std::size_t next = 0; next < members.size(); ++next) {
            const std::int32_t row = members[next] / cells_.columns;
            const std::int32_t column = members[next] % cells_.columns;
            for (std::int32_t r = std::max(0, row - pieceGapCells);
                 r <= std::min(cells_.rows - 1, row + pieceGapCells); ++r) {
                for (std::int32_t c = std::max(0, column - pieceGapCells);
                     c <= std::min(cells_.columns - 1, column + pieceGapCells); ++c) {
                    const std::int32_t cell = r * cells_.columns + c;
                    if (labels_[cell] == label && piece_[cell] == 0) {
                        piece_[cell] = pieces;
                        members.push_back(cell);
                    }
                }
            }
        }
        sizes.push_back(static_cast<std::int32_t>(members.size()));
        pieceLabels.push_back(label);
    }
    // The largest piece of each track keeps it; the others large enough for a
    // vehicle are vehicles of their own.
    for (std::int32_t piece = 1; piece <= pieces; ++piece) {
        const std::int32_t label = pieceLabels[piece - 1];
        bool largest = true;
        for (std::int32_t other = 1; other <= pieces; ++other) {
            if (other == piece || pieceLabels[other - 1] != label) continue;
            const std::int32_t size = sizes[piece - 1];
            const std::int32_t otherSize = sizes[other - 1];
            if (otherSize > size || (otherSize == size && other < piece)) largest = false;
        }
        if (largest || sizes[piece - 1] < vehicleCells) continue;
        Track track;
        track.id = nextId_++;
        track.bornFrame = frame;
        track.bornSeconds = seconds;
        tracks_.push_back(track);
        for (std::int32_t cell = 0; cell < count; ++cell) {
            if (piece_[cell] == piece) labels_[cell] = track.id;
        }
    }
}

void VehicleTracks::measureTracks(const CellCounts& counts, double seconds) {
    for (Track& track : tracks_) {
        track.cells = 0;
        track.row = 0;
        track.column = 0;
        track.darkPixelsNow = 0;
        track.lampPixelsNow = 0;
        track.lampPixelsOnBorderNow = 0;
        track.redLampPixelsNow = 0;
        track.sharpCellsNow = 0;
    }
    std::fill(busy_.begin(), busy_.end(), 0);
    for (std::int32_t cell = 0; cell < cells_.count(); ++cell) {
        if (labels_[cell] == 0) continue;
        const std::int32_t row = cell / cells_.columns;
        const std::int32_t column = cell % cells_.columns;
        Track* track = find(labels_[cell]);
        // A track that has left keeps where it was last seen: its rear may
        // still come, beside it.
        if (track->cells == 0) {
            track->firstRow = track->lastRow = row;
            track->firstColumn = track->lastColumn = column;
        }
        track->cells += 1;
        track->row += static_cast<float>(row);
        track->column += static_cast<float>(column);
        track->darkPixelsNow += counts.dark[cell];
        if (!counts.lamps.empty()) {
            track->lampPixelsNow += counts.lamps[cell];
            if (cells_.onBorder(row, column)) track->lampPixelsOnBorderNow += counts.lamps[cell];
            track->redLampPixelsNow += counts.redLamps[cell];
        }
        track->sharpCellsNow += counts.sharp[cell];
        track->firstRow = std::min(track->firstRow, row);
        track->lastRow = std::max(track->lastRow, row);
        track->firstColumn = std::min(track->firstColumn, column);
        track->lastColumn = std::max(track->lastColumn, column);
        for (std::int32_t r = std::max(0, row - 1); r <= std::min(cells_.rows - 1, row + 1); ++r) {
            for (std::int32_t c = std::max(0, column - 1); c <= std::min(cells_.columns - 1, column + 1);
                 ++c) {
                busy_[static_cast<std::size_t>(r) * cells_.columns + c] = 1;
            }
        }
    }
    for (Track& track : tracks_) {
        track.alive = track.cells > 0;
        if (!track.alive) continue;
        track.row /= static_cast<float>(track.cells);
        track.column /= static_cast<float>(track.cells);
        if (track.peakCells == 0) {
            track.originRow = track.row;
            track.originColumn = track.column;
        }
        track.travel = std::max(track.travel, std::abs(track.row - track.originRow) +
                                                  std::abs(track.column - track.originColumn));
        if (track.peakCells == 0 ||
            std::abs(track.row - track.restRow) + std::abs(track.column - track.restColumn) > restlessCells) {
            track.restRow = track.row;
            track.restColumn = track.column;
            track.restingSince = seconds;
        }
        track.peakCells = std::max(track.peakCells, track.cells);
        track.darkPixels = std::max(track.darkPixels, track.darkPixelsNow);
        track.lampPixels = std::max(track.lampPixels, track.lampPixelsNow);
        track.redLampPixels = std::max(track.redLampPixels, track.redLampPixelsNow);
        track.sharpCells = std::max(track.sharpCells, track.sharpCellsNow);
        findWaists(track);
        if (track.darkPixels >= darkVehiclePixels) track.dark = true;
    }
}

void VehicleTracks::findWaists(Track& track) {
    const auto sectionsAlong = [&](bool rows) {
        const std::int32_t first = rows ? track.firstRow : track.firstColumn;
        const std::int32_t last = rows ? track.lastRow : track.lastColumn;
        crossSection_.assign(static_cast<std::size_t>(last - first + 1), 0);
        for (std::int32_t r = track.firstRow; r <= track.lastRow; ++r) {
            for (std::int32_t c = track.firstColumn; c <= track.lastColumn; ++c) {
                if (labels_[static_cast<std::size_t>(r) * cells_.columns + c] == track.id)
                    ++crossSection_[static_cast<std::size_t>((rows ? r : c) - first)];
            }
        }
        return hasWaist(crossSection_);
    };
    track.waistAcrossRows = track.waistAcrossRows || sectionsAlong(true);
    track.waistAcrossColumns = track.waistAcrossColumns || sectionsAlong(false);
}

void VehicleTracks::forgetDeparted() {
    tracks_.erase(
        std::remove_if(tracks_.begin(), tracks_.end(), [](const Track& track) { return !track.alive; }),
        tracks_.end());
}

void VehicleTracks::release(const Track& track) {
    for (std::int32_t& label : labels_) {
        if (label == track.id) label = 0;
    }
    if (Track* released = find(track.id)) released->alive = false;
}

}  // namespace analysis::everyvehicle
