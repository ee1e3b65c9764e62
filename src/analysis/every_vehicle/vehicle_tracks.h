#pragma once
// Vehicles followed through the detection window cell by cell. Each occupied
// cell carries the number of the track it belongs to: a cell keeps its track
// while it stays occupied, a newly occupied cell takes the track of the
// nearest cell occupied a frame before, and only a cell with none near it
// starts a new track. On the window's border "near" means adjacent, so a
// vehicle entering behind another starts a track of its own as soon as there
// is road between them. A track that falls apart into pieces far from each
// other gives its smaller pieces tracks of their own: the vehicles of a
// platoon separate as they come closer.
#include <cstdint>
#include <vector>

#include "analysis/every_vehicle/cell_grid.h"

namespace analysis::everyvehicle {

// The fewest cells a vehicle covers at its largest: a fifth of a cell of
// 7 x 6 pixels flickering is noise, five cells (210 pixels) are a vehicle.
constexpr std::int32_t vehicleCells = 5;
// A dark vehicle shows at least this many pixels darker than the road: half
// a cell of the dark-object test (75 x 8 pixels) gone dark.
constexpr std::int32_t darkVehiclePixels = 300;

struct Track {
    std::int32_t id = 0;
    std::int64_t bornFrame = 0;
    double bornSeconds = 0;
    bool pictured = false;
    bool dark = false;
    bool alive = true;
    std::int32_t cells = 0;  // this frame
    std::int32_t peakCells = 0;
    std::int32_t darkPixels = 0;  // most seen in one frame
    std::int32_t darkPixelsNow = 0;
    std::int32_t lampPixels = 0;  // most seen in one frame
    std::int32_t lampPixelsNow = 0;
    std::int32_t lampPixelsOnBorderNow = 0;  // in the window's outermost cells
    std::int32_t redLampPixels = 0;          // most seen in one frame
    std::int32_t redLampPixelsNow = 0;
    std::int32_t sharpCells = 0;  // most seen in one frame
    std::int32_t sharpCellsNow = 0;
    float originRow = 0, originColumn = 0;
    float row = 0, column = 0;
    float travel = 0;  // furthest from where it was first seen, in cells
    // Where it last came to rest, and since when.
    float restRow = 0, restColumn = 0;
    double restingSince = 0;
    // Cells it covers now (or last covered, once it has left), as rows
    // firstRow..lastRow and columns firstColumn..lastColumn.
    std::int32_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    // Pixels its content has flowed since it was last pictured.
    std::int32_t flowRows = 0, flowColumns = 0;
    // A stream of vehicles: new ones have flowed in since the last picture.
    bool streaming = false;
    // Since it was last pictured, a row (a column) of its cells was narrower
    // than half its widest: road between two vehicles of a stream that
    // moves down (across) the picture. One vehicle, however long or slow,
    // shows none.
    bool waistAcrossRows = false, waistAcrossColumns = false;
    std::int32_t picturedCells = 0;  // when it was last pictured
    // Since when it has shown no lamp; -1 while it shows some.
    double lampsGoneSeconds = -1;
    // Since the last head lamps came in it has shown a red rear.
    bool rearSeen = false;
    // When head lamps last came in after its own had gone; -1 when never.
    std::int64_t arrivalFrame = -1;
    double arrivalSeconds = 0;
};

class VehicleTracks {
public:
    void reset(const CellGrid& cells);
    // Follows the occupied cells of one frame.
    // `counts.lamps` may be empty: no colour to tell lamps by.
    void follow(const CellValues<std::uint8_t>& occupied, const CellCounts& counts, std::int64_t frame,
                double seconds);
    // Cells occupied now or adjacent to one: the empty scene is not learnt there.
    const CellValues<std::uint8_t>& busyCells() const { return busy_; }
    const CellValues<std::int32_t>& labels() const { return labels_; }
    std::vector<Track>& tracks() { return tracks_; }
    const std::vector<Track>& tracks() const { return tracks_; }
    // Drops the tracks that are no longer in the window.
    void forgetDeparted();
    // Takes a track's cells out of the window, as if they were road.
    void release(const Track& track);

private:
    std::int32_t nearestLabel(std::int32_t row, std::int32_t column) const;
    void startTrack(std::int32_t cell, std::int64_t frame, double seconds);
    void separatePieces(std::int64_t frame, double seconds);
    void measureTracks(const CellCounts& counts, double seconds);
    void findWaists(Track& track);
    Track* find(std::int32_t id);

    CellGrid cells_;
    CellValues<std::int32_t> labels_;
    CellValues<std::int32_t> previous_;
    CellValues<std::uint8_t> busy_;
    CellValues<std::int32_t> piece_;
    std::vector<std::int32_t> stack_;
    std::vector<std::int32_t> pieceSizes_;
    std::vector<std::int32_t> pieceLabels_;
    std::vector<std::int32_t> crossSection_;
    std::vector<Track> tracks_;
    std::int32_t nextId_ = 1;
};

}  // namespace analysis::everyvehicle
