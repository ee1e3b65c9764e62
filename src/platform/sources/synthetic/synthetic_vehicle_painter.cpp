#include "platform/sources/synthetic/synthetic_vehicle_painter.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <span>

#include "platform/sources/synthetic/synthetic_layout.h"

namespace platform::synthetic {
namespace {

// `lamps` is the bumper on the rows that carry the head lamps and the plate.
enum class Panel { underside, bumper, lamps, body, glass, roof };

// A band of the body from the front at road level (0) to the rear of the
// roof (1), measured in apparent depth.
struct Band {
    double upTo;
    Panel panel;
};

constexpr Band carBands[] = {{0.06, Panel::underside}, {0.09, Panel::bumper}, {0.14, Panel::lamps},
                             {0.16, Panel::bumper},    {0.42, Panel::body},   {0.60, Panel::glass},
                             {0.85, Panel::roof},      {0.93, Panel::glass},  {1.00, Panel::body}};
constexpr Band estateBands[] = {{0.05, Panel::underside}, {0.08, Panel::bumper}, {0.12, Panel::lamps},
                                {0.14, Panel::bumper},    {0.36, Panel::body},   {0.52, Panel::glass},
                                {0.90, Panel::roof},      {0.96, Panel::glass},  {1.00, Panel::body}};
constexpr Band vanBands[] = {{0.05, Panel::underside}, {0.08, Panel::bumper}, {0.11, Panel::lamps},
                             {0.12, Panel::bumper},    {0.24, Panel::body},   {0.40, Panel::glass},
                             {1.00, Panel::roof}};
constexpr Band lorryBands[] = {{0.04, Panel::underside}, {0.06, Panel::bumper},    {0.09, Panel::lamps},
                               {0.10, Panel::bumper},    {0.22, Panel::body},      {0.34, Panel::glass},
                               {0.40, Panel::roof},      {0.43, Panel::underside}, {1.00, Panel::roof}};

// A tractor, the gap to its trailer, and the trailer's long roof.
constexpr Band articulatedBands[] = {{0.03, Panel::underside}, {0.05, Panel::bumper},    {0.07, Panel::lamps},
                                     {0.08, Panel::bumper},    {0.14, Panel::body},      {0.20, Panel::glass},
                                     {0.25, Panel::roof},      {0.28, Panel::underside}, {1.00, Panel::roof}};
// A front wheel, a lamp, the machine and its rider's back.
constexpr Band twoWheelerBands[] = {{0.10, Panel::underside}, {0.16, Panel::lamps}, {0.45, Panel::body},
                                    {0.80, Panel::roof},      {0.90, Panel::glass}, {1.00, Panel::underside}};

std::span<const Band> bandsOf(VehicleKind kind) {
    switch (kind) {
        case VehicleKind::car:
            return carBands;
        case VehicleKind::estate:
            return estateBands;
        case VehicleKind::van:
            return vanBands;
        case VehicleKind::articulated:
            return articulatedBands;
        case VehicleKind::motorbike:
        case VehicleKind::bicycle:
        case VehicleKind::walker:  // drawn as a person, not from bands
            return twoWheelerBands;
        case VehicleKind::lorry:
            break;
    }
    return lorryBands;
}

Panel panelAt(std::span<const Band> bands, double along) {
    const auto band = std::find_if(bands.begin(), bands.end() - 1,
                                   [along](const Band& candidate) { return along < candidate.upTo; });
    return band->panel;
}

constexpr Colour undersideColour{18, 18, 20};
constexpr Colour glassColour{58, 48, 42};
constexpr Colour plateColour{200, 206, 206};
constexpr Colour lampColour{196, 206, 212};

// Colours as lit, in 1/256 of a gray level so the shading keeps its fraction.
struct LitColour {
    int blue, green, red;
};

LitColour lit(Colour colour, double tint, int light) {
    const auto channel = [tint, light](std::uint8_t value) {
        return static_cast<int>(std::min(255.0, value * tint) * 256.0 * light / lightUnit);
    };
    return {channel(colour.blue), channel(colour.green), channel(colour.red)};
}

struct Palette {
    LitColour underside, bumper, body, glass, roof, plate, lamp;

    Palette(Colour paint, int light, int lampLight)
        : underside(lit(undersideColour, 1.0, light)),
          bumper(lit(paint, 0.75, light)),
          body(lit(paint, 1.0, light)),
          glass(lit(glassColour, 1.0, light)),
          roof(lit(paint, 1.08, light)),
          plate(lit(plateColour, 1.0, light)),
          lamp(lit(lampColour, 1.0, std::max(light, lampLight))) {}

    const LitColour& of(Panel panel) const {
        switch (panel) {
            case Panel::underside:
                return underside;
            case Panel::bumper:
            case Panel::lamps:
                return bumper;
            case Panel::body:
                return body;
            case Panel::glass:
                return glass;
            case Panel::roof:
                break;
        }
        return roof;
    }
};

// The columns from centre - half to centre + half, within the picture.
struct Columns {
    int first, last;
};

Columns columnsAround(double centre, double half) {
    const double left = std::clamp(std::ceil(centre - half), 0.0, static_cast<double>(pictureWidth));
    const double right = std::clamp(std::floor(centre + half), -1.0, static_cast<double>(pictureWidth - 1));
    return {static_cast<int>(left), static_cast<int>(right)};
}

std::uint8_t* pixelAt(std::uint8_t* picture, int row, int column) {
    return picture + static_cast<std::size_t>(row) * pictureRowBytes + static_cast<std::size_t>(column) * 3;
}

std::uint8_t shaded(int channel, double shade) {
    return static_cast<std::uint8_t>(std::min(255.0, channel * shade / 256.0));
}

void put(std::uint8_t* pixel, const LitColour& colour, double shade) {
    pixel[0] = shaded(colour.blue, shade);
    pixel[1] = shaded(colour.green, shade);
    pixel[2] = shaded(colour.red, shade);
}

// The picture's outline of the body on one row: rounded at both ends.
double halfWidthOnRow(double half, double rowsFromEnd) {
    const double radius = 0.2 * half;
    if (rowsFromEnd >= radius) return half;
    const double rise = radius - std::max(rowsFromEnd, 0.0);
    return half - (radius - std::sqrt(radius * radius - rise * rise));
}

void paintBodyRow(std::uint8_t* picture, int row, Panel panel, const Palette& palette, double centre,
                  double half) {
    const Columns columns = columnsAround(centre, half);
    for (int column = columns.first; column <= columns.last; ++column) {
        const double across = (column - centre) / half;
        const double side = std::abs(across);
        // Rounded flanks catch less light than the middle of the body.
        const double shade = 1.0 - 0.22 * across * across;
        const LitColour* colour = &palette.of(panel);
        if (panel == Panel::lamps && side < 0.14) colour = &palette.plate;
        if (panel == Panel::lamps && side > 0.62 && side < 0.86) colour = &palette.lamp;
        put(pixelAt(picture, row, column), *colour, shade);
    }
}

// The row at `along` (0 the front at road level, 1 the rear of the roof).
LampRow rowAlong(const Vehicle& vehicle, double seconds, double along) {
    const double front = frontDepth(vehicle, seconds);
    const double roofRear = apparentDepth(front + vehicle.length, vehicle.height);
    const double row = rowAtDepth(front + along * (roofRear - front));
    return {row, columnAt(vehicle.lateral, row), vehicle.width / 2 * pixelsPerMetre(row)};
}

}  // namespace

LampRow headLampRow(const Vehicle& vehicle, double seconds) {
    const std::span<const Band> bands = bandsOf(vehicle.kind);
    const auto lamps =
        std::find_if(bands.begin(), bands.end(), [](const Band& band) { return band.panel == Panel::lamps; });
    const double from = std::prev(lamps)->upTo;
    return rowAlong(vehicle, seconds, (from + lamps->upTo) / 2);
}

LampRow tailLampRow(const Vehicle& vehicle, double seconds) { return rowAlong(vehicle, seconds, 0.985); }

void paintShadow(const Vehicle& vehicle, double seconds, std::uint8_t* picture) {
    // The sun stands to the left: the shadow lies under the body and to its right.
    const RowSpan rows = bodyRows(vehicle, seconds);
    const double front = frontDepth(vehicle, seconds);
    for (int row = rows.first; row <= rows.last; ++row) {
        const double depth = roadDepth(row);
        if (depth < front || depth > front + vehicle.length) continue;
        const double metre = pixelsPerMetre(row);
        const double centre = columnAt(vehicle.lateral + 0.3, row);
        const Columns columns = columnsAround(centre, (vehicle.width / 2 + 0.2) * metre);
        for (int column = columns.first; column <= columns.last; ++column) {
            std::uint8_t* pixel = pixelAt(picture, row, column);
            for (int channel = 0; channel < 3; ++channel)
                pixel[channel] = static_cast<std::uint8_t>(pixel[channel] * 141 >> 8);
        }
    }
}

void paintVehicle(const Vehicle& vehicle, double seconds, int light, int lampLight, std::uint8_t* picture) {
    const RowSpan rows = bodyRows(vehicle, seconds);
    const double front = frontDepth(vehicle, seconds);
    const double roofRear = apparentDepth(front + vehicle.length, vehicle.height);
    const double topRow = rowAtDepth(roofRear);
    const double bottomRow = front > 0 ? rowAtDepth(front) : 1e9;
    const Palette palette(vehicle.body, light, lampLight);
    const std::span<const Band> bands = bandsOf(vehicle.kind);
    for (int row = rows.first; row <= rows.last; ++row) {
        const double along = (roadDepth(row) - front) / (roofRear - front);
        const double metre = pixelsPerMetre(row);
        const double rowsFromEnd = std::min(row - topRow, bottomRow - row);
        const double half = halfWidthOnRow(vehicle.width / 2 * metre, rowsFromEnd);
        paintBodyRow(picture, row, panelAt(bands, along), palette, columnAt(vehicle.lateral, row), half);
    }
}

}  // namespace platform::synthetic
